// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding a stored line into its keyword, operand spans and block role, from the text alone.
//
// The decoder reads operands the way the argument readers do, but without a
// runtime: it finds where each operand ends and what the text alone decides
// (a literal that is not a number, a label written out, a block statement
// where none may stand), and leaves everything that depends on values to
// the run. It must never call a line wrong that runs: the checker reports
// whatever it finds, and a script that runs clean must check clean.
#include "interpreter/statement_decoder.h"

#include "interpreter/number.h"
#include "interpreter/text.h"

#include <string>

namespace interpreter {

namespace {

constexpr bool is_name_char(char c) { return is_ascii_letter(c) || is_digit(c) || c == '_'; }

TextSpan span_of(std::string_view whole, std::string_view part)
{
    return { static_cast<uint32_t>(part.data() - whole.data()), static_cast<uint32_t>(part.size()) };
}

// The length of the target at the front of `text` (trimmed), as
// read_target reads it; 0 when there is none.
size_t target_length(std::string_view text)
{
    if (text.empty())
        return 0;
    if (text[0] == '$') {
        size_t length = 1;
        while (length < text.size() && is_name_char(text[length]))
            ++length;
        return length > 1 ? length : 0;
    }
    if (!is_ascii_letter(text[0]))
        return 0;
    if (text.size() > 1 && (is_ascii_letter(text[1]) || is_digit(text[1])))
        return 0;
    return 1;
}

// The text of a text literal spanning all of `literal`, quotes included,
// with doubled quotes made single.
std::string literal_text(std::string_view literal)
{
    std::string text;
    for (size_t i = 1; i < literal.size(); ++i) {
        if (literal[i] == '"') {
            if (i + 1 < literal.size() && literal[i + 1] == '"') {
                text += '"';
                ++i;
                continue;
            }
            break;
        }
        text += literal[i];
    }
    return text;
}

// False when the value spanning `value` is a literal that is not a number;
// true for numbers and for anything only the run can tell.
bool may_be_number(std::string_view value)
{
    if (value.empty())
        return false;
    if (value[0] == '"')
        return parse_number(literal_text(value)).has_value();
    if (value[0] == '-' || is_digit(value[0]))
        return parse_number(value).has_value();
    return true;
}

// Where a statement with operands after its keyword stands.
struct Reading {
    std::string_view line; // the whole text given to the decoder
    std::string_view rest; // what is left to read, trimmed at its front
    DecodedStatement& decoded;

    void add(OperandKind kind, size_t length)
    {
        if (decoded.operand_count < decoded.operands.size())
            decoded.operands[decoded.operand_count++] = { kind, span_of(line, rest.substr(0, length)) };
        rest = trim_front(rest.substr(length));
    }
    void fail(FailureReason reason)
    {
        if (decoded.problem == FailureReason::None)
            decoded.problem = reason;
    }
    bool read_target()
    {
        if (rest.empty()) {
            fail(FailureReason::MissingOperand);
            return false;
        }
        size_t length = target_length(rest);
        if (length == 0) {
            fail(FailureReason::InvalidVariable);
            return false;
        }
        add(OperandKind::Target, length);
        return true;
    }
    bool read_number()
    {
        if (rest.empty()) {
            fail(FailureReason::MissingOperand);
            return false;
        }
        size_t length = value_length(rest);
        if (length == 0) {
            fail(FailureReason::InvalidValue);
            return false;
        }
        if (!may_be_number(rest.substr(0, length))) {
            fail(FailureReason::NotANumber);
            return false;
        }
        add(OperandKind::Number, length);
        return true;
    }
    void expect_end()
    {
        if (!rest.empty())
            fail(FailureReason::ExtraText);
    }
};

void decode_jump(Reading& reading)
{
    DecodedStatement& decoded = reading.decoded;
    std::string_view rest = reading.rest;
    if (rest.empty()) {
        reading.fail(FailureReason::MissingOperand);
        return;
    }
    if (rest[0] == '@') {
        // The name runs to the end of the line and holds no space.
        if (rest.find(' ') != std::string_view::npos) {
            reading.fail(FailureReason::ExtraText);
            return;
        }
        decoded.label = span_of(reading.line, rest);
        reading.add(OperandKind::Label, rest.size());
        return;
    }
    size_t length = value_length(rest);
    if (length == 0) {
        reading.fail(FailureReason::InvalidValue);
        return;
    }
    // A name written as a text literal is known now; the label is its
    // text, which the checker compares once the quotes are taken away.
    if (rest[0] == '"')
        decoded.label = span_of(reading.line, rest.substr(0, length));
    reading.add(OperandKind::Value, length);
    reading.expect_end();
}

// The run refuses statements nested deeper than this.
constexpr int max_decoded_nesting = 64;

DecodedStatement decode_nested(const CommandTable& table, std::string_view line, int depth);

void decode_operands(Reading& reading, std::string_view keyword, const CommandTable& table, int depth)
{
    DecodedStatement& decoded = reading.decoded;
    std::string_view& rest = reading.rest;
    if (keyword == "SE") {
        size_t length = condition_length(rest);
        if (length == 0) {
            reading.fail(rest.empty() ? FailureReason::MissingOperand : FailureReason::InvalidCondition);
            return;
        }
        reading.add(OperandKind::Condition, length);
        if (rest.empty()) {
            decoded.role = BlockRole::OpenIf;
            return;
        }
        decoded.role = BlockRole::OneLineIf;
        decoded.nested = span_of(reading.line, rest);
        // The nested statement's offsets are its own; only its problem and
        // the label a jump names matter to the line.
        // Each SE of a chain is a level of nesting, which the run refuses
        // past its limit; past it the rest is left to the run.
        if (depth >= max_decoded_nesting)
            return;
        DecodedStatement inner = decode_nested(table, rest, depth + 1);
        reading.fail(inner.problem);
        if (inner.kind == LineKind::Statement && !inner.label.empty())
            decoded.label = { decoded.nested.begin + inner.label.begin, inner.label.length };
        return;
    }
    if (keyword == "ENQUANTO") {
        size_t length = condition_length(rest);
        if (length == 0) {
            reading.fail(rest.empty() ? FailureReason::MissingOperand : FailureReason::InvalidCondition);
            return;
        }
        // Whatever follows the condition is ignored.
        reading.add(OperandKind::Condition, length);
        decoded.role = BlockRole::OpenWhile;
        return;
    }
    if (keyword == "REPETE") {
        decoded.role = BlockRole::OpenRepeat;
        if (reading.read_target())
            reading.read_number();
        return;
    }
    if (keyword == "FIM") {
        if (rest.empty()) {
            reading.fail(FailureReason::MissingOperand);
            return;
        }
        std::string word = upper_text(rest);
        decoded.role = word == "SE" ? BlockRole::EndIf
            : word == "ENQUANTO"     ? BlockRole::EndWhile
            : word == "REPETE"       ? BlockRole::EndRepeat
                                     : BlockRole::EndOther;
        reading.add(OperandKind::Word, rest.size());
        return;
    }
    if (keyword == "SENAO" || keyword == "SEN\xC3O") {
        decoded.role = BlockRole::Else;
        reading.expect_end();
        return;
    }
    if (keyword == "RETORNA") {
        reading.expect_end();
        return;
    }
    if (keyword == "DESVIA" || keyword == "CHAMA") {
        decoded.role = BlockRole::Jump;
        decode_jump(reading);
        return;
    }
    if (keyword == "SOMA" || keyword == "SUBTRAI" || keyword == "MULTIPLICA" || keyword == "DIVIDE") {
        if (!reading.read_target() || !reading.read_number())
            return;
        if (keyword == "DIVIDE") {
            const Operand& divisor = decoded.operands[1];
            auto value = parse_number(divisor.span.in(reading.line));
            if (value && *value == 0)
                reading.fail(FailureReason::DivisionByZero);
        }
        // SOMA leaves what follows its number unread; the others fail on it.
        if (keyword != "SOMA")
            reading.expect_end();
        return;
    }
    if (!rest.empty())
        reading.add(OperandKind::Rest, rest.size());
}

// The operators of a condition, in the order they are tried.
constexpr std::string_view condition_operators[] = { ">=", "<=", "==", "<>", "*=*", "=*", "*=", "EM", "=", "<", ">" };

}

size_t value_length(std::string_view text)
{
    if (text.empty())
        return 0;
    char first = text[0];
    if (first == '-' || is_digit(first)) {
        size_t length = 1;
        while (length < text.size() && is_digit(text[length]))
            ++length;
        return length;
    }
    if (first == '"') {
        for (size_t i = 1; i < text.size(); ++i) {
            if (text[i] != '"')
                continue;
            if (i + 1 < text.size() && text[i + 1] == '"') {
                ++i;
                continue;
            }
            return i + 1;
        }
        // Without a closing quote the literal runs to the end.
        return text.size();
    }
    if (first == '$') {
        size_t length = 1;
        while (length < text.size() && is_name_char(text[length]))
            ++length;
        return length > 1 ? length : 0;
    }
    if (is_ascii_letter(first))
        return 1;
    if (first == '(') {
        // The expression ends at the parenthesis that closes the first one;
        // whether it evaluates is the run's business.
        int depth = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '(')
                ++depth;
            else if (text[i] == ')' && --depth == 0)
                return i + 1;
        }
        return 0;
    }
    return 0;
}

size_t condition_length(std::string_view text)
{
    std::string_view start = text;
    if (text.empty())
        return 0;
    if (starts_with_upper(text, "N\xC3O") || starts_with_upper(text, "NAO")) {
        text = trim_front(text.substr(3));
        if (text.empty())
            return 0;
    }
    size_t left = value_length(text);
    if (left == 0)
        return 0;
    text = trim_front(text.substr(left));
    if (text.empty())
        return 0;
    std::string_view found;
    for (std::string_view candidate : condition_operators) {
        if (starts_with_upper(text, candidate)) {
            found = candidate;
            break;
        }
    }
    if (found.empty())
        return 0;
    text = trim_front(text.substr(found.size()));
    if (text.empty())
        return 0;
    size_t right = 0;
    if (found == "EM") {
        // A list name: "[" then at least one character up to "]".
        size_t close = text.size() >= 2 && text[0] == '[' ? text.find(']', 2) : std::string_view::npos;
        if (close == std::string_view::npos)
            return 0;
        right = close + 1;
    } else {
        right = value_length(text);
        if (right == 0)
            return 0;
    }
    return static_cast<size_t>(text.data() - start.data()) + right;
}

namespace {

// `depth` is 0 for a stored line and counts the SE statements around it.
DecodedStatement decode_nested(const CommandTable& table, std::string_view line, int depth)
{
    bool nested = depth > 0;
    DecodedStatement decoded;
    std::string_view text = trim(line);
    if (text.empty())
        return decoded;
    if (text[0] == '*') {
        decoded.kind = LineKind::Comment;
        return decoded;
    }
    if (text[0] == '@') {
        decoded.kind = LineKind::Label;
        // Jumps find a label by everything after the "@" of the stored line.
        if (!line.empty() && line[0] == '@')
            decoded.label = span_of(line, line);
        return decoded;
    }
    decoded.kind = LineKind::Statement;
    size_t space = text.find(' ');
    std::string_view keyword = text.substr(0, space);
    std::string_view rest = space == std::string_view::npos ? std::string_view(text.data() + text.size(), 0)
                                                            : trim_front(text.substr(space + 1));
    decoded.keyword = span_of(line, keyword);
    decoded.rest = span_of(line, rest);
    std::string upper = upper_text(keyword);
    decoded.command = upper.size() <= CommandTable::max_keyword_length ? table.find(upper) : nullptr;
    if (!decoded.command) {
        decoded.problem = FailureReason::UnknownKeyword;
        return decoded;
    }
    if (nested && decoded.command->shapes_block) {
        decoded.problem = FailureReason::BlockStatementNested;
        return decoded;
    }
    if (decoded.command->handler == run_missing_command) {
        decoded.problem = FailureReason::CommandUnavailable;
        return decoded;
    }
    Reading reading { line, rest, decoded };
    decode_operands(reading, decoded.command->keyword, table, depth);
    return decoded;
}

}

DecodedStatement decode_statement(const CommandTable& table, std::string_view line, bool nested)
{
    return decode_nested(table, line, nested ? 1 : 0);
}

std::string label_name(const DecodedStatement& decoded, std::string_view line)
{
    std::string_view label = decoded.label.in(line);
    if (label.empty())
        return {};
    std::string name = label[0] == '"' ? literal_text(label) : std::string(label.substr(1));
    upper_text_in_place(name);
    return name;
}

}
