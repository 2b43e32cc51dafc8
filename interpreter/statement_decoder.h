// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding a stored line into its keyword, operand spans and block role, from the text alone.
#pragma once

#include "interpreter/command_table.h"
#include "interpreter/failure_reason.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace interpreter {

// A piece of the decoded line: offsets into the text given to the decoder,
// so that a decoded line stays small and never copies its text.
struct TextSpan {
    uint32_t begin = 0;
    uint32_t length = 0;

    std::string_view in(std::string_view text) const { return text.substr(begin, length); }
    bool empty() const { return length == 0; }
};

enum class LineKind : uint8_t { Empty, Comment, Label, Statement };

// What a statement does to the block structure.
enum class BlockRole : uint8_t {
    None,
    OpenIf, // SE with a condition and nothing after it
    OneLineIf, // SE with a statement after its condition
    Else,
    OpenWhile,
    OpenRepeat,
    EndIf,
    EndWhile,
    EndRepeat,
    EndOther, // FIM with any other word: does nothing
    Jump, // DESVIA and CHAMA
};

// The kinds of operand the decoder knows how to find the end of.
enum class OperandKind : uint8_t { Target, Value, Number, Condition, Label, Word, Rest };

struct Operand {
    OperandKind kind = OperandKind::Rest;
    TextSpan span;
};

struct DecodedStatement {
    LineKind kind = LineKind::Empty;
    TextSpan keyword; // as written
    TextSpan rest; // trimmed
    // The table's entry, null when the language has no such keyword.
    const CommandEntry* command = nullptr;
    BlockRole role = BlockRole::None;
    std::array<Operand, 3> operands {};
    uint8_t operand_count = 0;
    // A label line's stored text (from its "@"), or the label a jump names
    // when the text says it: "@" and the name, or a text literal.
    TextSpan label;
    // The statement after the condition of a one-line SE.
    TextSpan nested;
    // The line this one leads to, 0 when none or not yet resolved: a jump's
    // label line, a block head's end (SE: its SENAO or FIM SE), an end's head.
    // decode_statement leaves it 0; decode_script fills it in.
    int target = 0;
    // Why the line cannot run, when that shows in its text; None otherwise.
    // A line that decodes clean may still fail at run time.
    FailureReason problem = FailureReason::None;
};

// Decodes one line as the run loop would split it, checking what the text
// alone decides. `nested` is true for the statement of a one-line SE.
DecodedStatement decode_statement(const CommandTable& table, std::string_view line, bool nested = false);

// The upper-cased label name of a label line or of a jump that writes it;
// empty when there is none.
std::string label_name(const DecodedStatement& decoded, std::string_view line);

// The length of the value at the front of `text` (trimmed at its front) as
// read_value reads it: a number literal, a text literal, a "$" name, a
// letter or a parenthesised expression. 0 when no value can start there.
size_t value_length(std::string_view text);

// The length of the condition at the front of `text`, as SE and ENQUANTO
// read it; 0 when it is not a condition. Whether a list exists or an
// expression evaluates is known only at run time and is not checked.
size_t condition_length(std::string_view text);

}
