// SPDX-License-Identifier: GPL-3.0-or-later
// Binding the interpreter's own statements into the command table.
#pragma once

#include "interpreter/command_table.h"

#include <cstdint>

namespace interpreter {

struct Runtime;

// SE, SENAO, FIM, ENQUANTO, REPETE, DESVIA, CHAMA, RETORNA, TERMINA.
void bind_control_statements(CommandTable& table);
// SEJA, RANDOMIZA, DEBUG.
void bind_value_statements(CommandTable& table);
// SOMA, SUBTRAI, MULTIPLICA, DIVIDE, CONCATENA, COPIA, DELETA, SUBSTITUI.
void bind_arithmetic_statements(CommandTable& table);
void bind_string_statements(CommandTable& table);

// The interpreter's own handlers of the statements that have decoded
// shortcuts: a shortcut may stand in for these handlers only.
Handler own_let_handler();
Handler own_add_handler();
Handler own_if_handler();
Handler own_repeat_handler();
Handler own_end_handler();
Handler own_else_handler();

// SOMA's work once its operands are read: adds `addend` to the number at
// the end of the slot's text.
void add_to_variable(Runtime& runtime, int slot, int32_t addend);
// What SE does when its condition is false and no statement follows it.
void skip_false_if_block(Runtime& runtime);
// What SENAO does: goes on after the FIM SE of its block.
void skip_else_block(Runtime& runtime);

inline void bind_interpreter_statements(CommandTable& table)
{
    bind_control_statements(table);
    bind_value_statements(table);
    bind_arithmetic_statements(table);
    bind_string_statements(table);
}

}
