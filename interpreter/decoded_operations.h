// SPDX-License-Identifier: GPL-3.0-or-later
// Shortcuts for the commonest statement shapes: operands found once per stored line.
//
// A loop runs the same few lines a million times, and their text says the
// same every time: which variable, which literal, which operator. A line of
// one of the shapes below keeps its operands decoded, and the run loop runs
// it from them. A shortcut only ever stands in for the statement's own
// handler: whenever anything is out of the ordinary (a name not seen yet, a
// variable that holds no plain number, a division by zero, a loop that ends)
// it changes nothing and says so, and the line runs through its handler as
// if the shortcut did not exist.
#pragma once

#include "interpreter/command_table.h"
#include "interpreter/statement_decoder.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace interpreter {

struct Runtime;

// A literal of digits, a letter variable or a "$" name.
struct DecodedOperand {
    enum class Kind : uint8_t { Literal, Letter, Name };
    Kind kind = Kind::Literal;
    // The literal's value; for a variable, its slot (a letter's is known
    // from the start, a name's once resolved).
    int32_t value = 0;
    // A name without its "$", in the text the line was decoded from.
    TextSpan name;
};

struct DecodedOperation {
    enum class Kind : uint8_t {
        // SEJA target [=] ( operand { + - * / operand } )
        LetExpression,
        // SEJA target [=] "text" | digits
        LetText,
        // SEJA target [=] $name
        LetCopy,
        // SOMA target digits
        AddLiteral,
        // SE operand = <> < > <= >= operand [statement]
        IfCompare,
        // REPETE target limit: the loop's head, read by its FIM REPETE
        RepeatHead,
        // FIM REPETE
        EndRepeat,
        // FIM SE: nothing to do
        EndIf,
        // SENAO: on past the block's FIM SE
        Else,
    };
    enum class Comparison : uint8_t { Equal, Different, Less, Greater, LessEqual, GreaterEqual };
    static constexpr size_t max_operands = 8;

    Kind kind = Kind::LetExpression;
    Comparison comparison = Comparison::Equal;
    uint8_t operand_count = 0;
    DecodedOperand target;
    std::array<DecodedOperand, max_operands> operands {};
    // The operators between the operands of an expression: '+', '-', '*', '/'.
    std::array<char, max_operands> operators {};
    // LetText's value; the statement after a one-line SE's condition.
    TextSpan text;
    // The nested statement is SOMA with a literal: its decoded form.
    bool nested_add = false;
    std::string_view nested_keyword; // the table's
    DecodedOperand nested_target;
    int32_t nested_addend = 0;
    // The generation of the variables for which the names' slots hold; 0
    // when not resolved yet.
    uint32_t slots_generation = 0;
    // FIM REPETE's head line and the index of its shortcut, found for the
    // store's generation `head_generation` (0: not yet).
    int32_t head = 0;
    int32_t head_operation = -1;
    uint32_t head_generation = 0;
};

// The shortcut for a statement whose command (the table's entry) is
// `entry` and whose trimmed rest is `rest`; nothing when it has none.
// Offsets count from the start of `line`, the text `rest` lies in.
std::optional<DecodedOperation> decode_operation(const CommandTable& table, const CommandEntry* entry,
    std::string_view line, std::string_view rest);

// What running a shortcut came to.
enum class OperationOutcome : uint8_t { NotRun, Succeeded, Failed };

// Runs the shortcut of stored line `number`; NotRun (with nothing changed)
// when the handler must run instead.
OperationOutcome run_operation(Runtime& runtime, int number, DecodedOperation& operation);

}
