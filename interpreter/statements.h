// SPDX-License-Identifier: GPL-3.0-or-later
// Binding the interpreter's own statements into the command table.
#pragma once

namespace interpreter {

class CommandTable;

// SE, SENAO, FIM, ENQUANTO, REPETE, DESVIA, CHAMA, RETORNA, TERMINA.
void bind_control_statements(CommandTable& table);
// SEJA, RANDOMIZA, DEBUG.
void bind_value_statements(CommandTable& table);
// SOMA, SUBTRAI, MULTIPLICA, DIVIDE, CONCATENA, COPIA, DELETA, SUBSTITUI.
void bind_arithmetic_statements(CommandTable& table);
void bind_string_statements(CommandTable& table);

inline void bind_interpreter_statements(CommandTable& table)
{
    bind_control_statements(table);
    bind_value_statements(table);
    bind_arithmetic_statements(table);
    bind_string_statements(table);
}

}
