// SPDX-License-Identifier: GPL-3.0-or-later
// Shortcuts for the commonest statement shapes: operands found once per stored line.
#include "interpreter/decoded_operations.h"

#include "interpreter/flat_sum.h"
#include "interpreter/messages.h"
#include "interpreter/number.h"
#include "interpreter/run_loop.h"
#include "interpreter/runtime.h"
#include "interpreter/statements.h"
#include "interpreter/text.h"

#include <limits>

namespace interpreter {

namespace {

using Kind = DecodedOperation::Kind;
using Comparison = DecodedOperation::Comparison;

// Longer names are rare, and are left to the handlers.
constexpr size_t max_decoded_name = 64;

bool is_name_char(char c, bool underscore)
{
    return is_ascii_letter(c) || is_digit(c) || (underscore && c == '_');
}

// Reads over the text one piece at a time; `base` is where the line starts,
// so that spans count from there. Only a plain space separates pieces: any
// other blank leaves the line to its handler.
class Cursor {
public:
    Cursor(std::string_view line, std::string_view rest)
        : m_base(line.data())
        , m_text(rest)
    {
    }

    bool at_end() const { return m_position >= m_text.size(); }
    char peek(size_t ahead = 0) const { return m_position + ahead < m_text.size() ? m_text[m_position + ahead] : '\0'; }
    void skip(size_t count = 1) { m_position += count; }
    // Skips spaces; true when there was at least one.
    bool skip_spaces()
    {
        size_t start = m_position;
        while (m_position < m_text.size() && m_text[m_position] == ' ')
            ++m_position;
        return m_position > start;
    }
    // The end, or a space after which the text goes on.
    bool at_separator() const { return at_end() || peek() == ' '; }
    std::string_view remaining() const { return m_text.substr(m_position); }
    TextSpan span(size_t start, size_t length) const
    {
        return { static_cast<uint32_t>(m_text.data() + start - m_base), static_cast<uint32_t>(length) };
    }
    size_t position() const { return m_position; }

    // A "$" name: its span, the cursor past it. Names in expressions stop
    // at "_", and one that is followed by "_" is left to the handler.
    bool read_name(DecodedOperand& operand, bool underscore)
    {
        if (peek() != '$')
            return false;
        size_t start = m_position + 1;
        size_t end = start;
        while (end < m_text.size() && is_name_char(m_text[end], underscore))
            ++end;
        if (end == start || end - start > max_decoded_name || (end < m_text.size() && m_text[end] == '_'))
            return false;
        operand = { DecodedOperand::Kind::Name, -1, span(start, end - start) };
        m_position = end;
        return true;
    }

    // A letter variable: one letter that no letter, digit or "_" follows.
    bool read_letter(DecodedOperand& operand)
    {
        char c = peek();
        char next = peek(1);
        if (!is_ascii_letter(c) || is_name_char(next, true))
            return false;
        operand = { DecodedOperand::Kind::Letter, upper_byte(c), {} };
        skip();
        return true;
    }

    // Digits, at most `max_digits` of them (0: any number, wrapping around
    // in 32 bits as expressions read them), not followed by another digit.
    bool read_literal(DecodedOperand& operand, size_t max_digits)
    {
        size_t end = m_position;
        uint32_t value = 0;
        while (end < m_text.size() && is_digit(m_text[end])) {
            value = value * 10u + static_cast<uint32_t>(m_text[end] - '0');
            ++end;
        }
        size_t length = end - m_position;
        if (length == 0 || (max_digits != 0 && length > max_digits))
            return false;
        operand = { DecodedOperand::Kind::Literal, static_cast<int32_t>(value), {} };
        m_position = end;
        return true;
    }

    bool read_target(DecodedOperand& operand) { return read_name(operand, true) || read_letter(operand); }

private:
    const char* m_base;
    std::string_view m_text;
    size_t m_position = 0;
};

bool is_own(const CommandEntry* entry, Handler handler)
{
    return entry && entry->passes_rest && entry->handler == handler;
}

bool decode_let(Cursor& cursor, DecodedOperation& operation)
{
    if (!cursor.read_target(operation.target))
        return false;
    cursor.skip_spaces();
    if (cursor.peek() == '=') {
        cursor.skip();
        cursor.skip_spaces();
    }
    char first = cursor.peek();
    if (first == '"') {
        std::string_view text = cursor.remaining();
        size_t close = text.find('"', 1);
        if (close != text.size() - 1)
            return false;
        operation.kind = Kind::LetText;
        operation.text = cursor.span(cursor.position() + 1, close - 1);
        return true;
    }
    if (is_digit(first)) {
        std::string_view text = cursor.remaining();
        for (char c : text) {
            if (!is_digit(c))
                return false;
        }
        operation.kind = Kind::LetText;
        operation.text = cursor.span(cursor.position(), text.size());
        return true;
    }
    if (first == '$') {
        if (!cursor.read_name(operation.operands[0], true) || !cursor.at_end())
            return false;
        operation.kind = Kind::LetCopy;
        operation.operand_count = 1;
        return true;
    }
    if (first != '(')
        return false;
    cursor.skip();
    for (;;) {
        cursor.skip_spaces();
        if (operation.operand_count == DecodedOperation::max_operands)
            return false;
        DecodedOperand& operand = operation.operands[operation.operand_count];
        if (!cursor.read_literal(operand, 0) && !cursor.read_name(operand, false) && !cursor.read_letter(operand))
            return false;
        ++operation.operand_count;
        cursor.skip_spaces();
        char next = cursor.peek();
        if (next == ')')
            break;
        if (next != '+' && next != '-' && next != '*' && next != '/')
            return false;
        operation.operators[operation.operand_count - 1] = next;
        cursor.skip();
    }
    cursor.skip();
    cursor.skip_spaces();
    operation.kind = Kind::LetExpression;
    return cursor.at_end();
}

// An operand of a comparison that conditions read as a plain number when
// the variable holds one.
bool read_compared(Cursor& cursor, DecodedOperand& operand)
{
    return cursor.read_literal(operand, 9) || cursor.read_name(operand, true) || cursor.read_letter(operand);
}

bool decode_if(const CommandTable& table, Cursor& cursor, DecodedOperation& operation)
{
    if (!read_compared(cursor, operation.operands[0]))
        return false;
    cursor.skip_spaces();
    char first = cursor.peek();
    char next = cursor.peek(1);
    size_t length = 1;
    switch (first) {
    case '=':
        if (next == '=' || next == '*')
            return false;
        operation.comparison = Comparison::Equal;
        break;
    case '<':
        operation.comparison = next == '=' ? Comparison::LessEqual : next == '>' ? Comparison::Different : Comparison::Less;
        length = operation.comparison == Comparison::Less ? 1 : 2;
        break;
    case '>':
        operation.comparison = next == '=' ? Comparison::GreaterEqual : Comparison::Greater;
        length = operation.comparison == Comparison::Greater ? 1 : 2;
        break;
    default:
        return false;
    }
    cursor.skip(length);
    cursor.skip_spaces();
    if (!read_compared(cursor, operation.operands[1]) || !cursor.at_separator())
        return false;
    operation.operand_count = 2;
    // The statement after the condition starts where SE's reader leaves
    // it: past every blank, not only spaces.
    std::string_view after = cursor.remaining();
    std::string_view nested = trim_front(after);
    cursor.skip(after.size() - nested.size());
    operation.text = cursor.span(cursor.position(), nested.size());
    operation.kind = Kind::IfCompare;
    // SOMA with a literal after the condition runs from its decoded form too.
    size_t space = nested.find(' ');
    if (space == std::string_view::npos || space > 8)
        return true;
    std::string keyword = upper_text(nested.substr(0, space));
    const CommandEntry* entry = table.find(keyword);
    if (!is_own(entry, own_add_handler()))
        return true;
    Cursor inner = cursor;
    inner.skip(space);
    inner.skip_spaces();
    DecodedOperand addend;
    if (!inner.read_target(operation.nested_target) || !inner.skip_spaces() || !inner.read_literal(addend, 9)
        || !inner.at_end())
        return true;
    operation.nested_add = true;
    operation.nested_keyword = entry->keyword;
    operation.nested_addend = addend.value;
    return true;
}

// The slot of a "$" name already in the name table; -1 when it is not.
int existing_slot(Runtime& runtime, std::string_view line, const DecodedOperand& operand)
{
    if (operand.kind != DecodedOperand::Kind::Name)
        return operand.value;
    char buffer[max_decoded_name];
    std::string_view name = operand.name.in(line);
    for (size_t i = 0; i < name.size(); ++i)
        buffer[i] = upper_byte(name[i]);
    return runtime.variables.existing_slot(std::string_view(buffer, name.size()));
}

bool resolve(Runtime& runtime, std::string_view line, DecodedOperand& operand)
{
    if (operand.kind != DecodedOperand::Kind::Name)
        return true;
    operand.value = existing_slot(runtime, line, operand);
    return operand.value >= 0;
}

// Finds the slots of the operation's names. Only names that some statement
// has used already have one: a shortcut never adds a name, since the order
// in which names are added decides which ones fit in the table.
[[gnu::noinline]] bool resolve_slots(Runtime& runtime, int number, DecodedOperation& operation)
{
    std::string_view line = runtime.store.statement(number);
    if (!resolve(runtime, line, operation.target))
        return false;
    for (size_t i = 0; i < operation.operand_count; ++i) {
        if (!resolve(runtime, line, operation.operands[i]))
            return false;
    }
    // The target of SE's nested SOMA may be met only after the condition
    // first holds: it is looked for again while it has no slot.
    if (operation.nested_add)
        operation.nested_target.value = existing_slot(runtime, line, operation.nested_target);
    operation.slots_generation = runtime.variables.generation();
    return true;
}

inline bool slots_ready(Runtime& runtime, int number, DecodedOperation& operation)
{
    return operation.slots_generation == runtime.variables.generation() || resolve_slots(runtime, number, operation);
}

// The value of a compared operand as a number of one to nine plain digits,
// as conditions compare such values; false for anything else.
inline bool plain_number(const Runtime& runtime, const DecodedOperand& operand, uint32_t& value)
{
    if (operand.kind == DecodedOperand::Kind::Literal) {
        value = static_cast<uint32_t>(operand.value);
        return true;
    }
    int32_t known = 0;
    // A remembered number of one to nine digits is written as exactly those
    // plain digits.
    if (runtime.variables.known_number(operand.value, known) && known >= 0 && known <= 999999999) {
        value = static_cast<uint32_t>(known);
        return true;
    }
    return parse_plain_digits(runtime.variables.text(operand.value), value);
}

inline bool operand_number(const Runtime& runtime, const DecodedOperand& operand, int64_t& value)
{
    if (operand.kind == DecodedOperand::Kind::Literal) {
        value = operand.value;
        return true;
    }
    auto number = runtime.variables.number(operand.value);
    if (!number)
        return false;
    value = *number;
    return true;
}

OperationOutcome run_let_expression(Runtime& runtime, DecodedOperation& operation)
{
    int64_t first = 0;
    if (!operand_number(runtime, operation.operands[0], first))
        return OperationOutcome::NotRun;
    FlatSum sum(first);
    for (size_t i = 1; i < operation.operand_count; ++i) {
        int64_t operand = 0;
        if (!operand_number(runtime, operation.operands[i], operand) || !sum.apply(operation.operators[i - 1], operand))
            return OperationOutcome::NotRun;
    }
    auto number = sum.total();
    int slot = operation.target.value;
    std::string& text = runtime.variables.writable_text(slot);
    text.clear();
    append_number(text, number);
    if (number >= std::numeric_limits<int32_t>::min() && number <= std::numeric_limits<int32_t>::max())
        runtime.variables.remember_number(slot, static_cast<int32_t>(number));
    return OperationOutcome::Succeeded;
}

bool compare(Comparison comparison, uint32_t left, uint32_t right)
{
    switch (comparison) {
    case Comparison::Equal: return left == right;
    case Comparison::Different: return left != right;
    case Comparison::Less: return left < right;
    case Comparison::Greater: return left > right;
    case Comparison::LessEqual: return left <= right;
    case Comparison::GreaterEqual: return left >= right;
    }
    return false;
}

inline OperationOutcome outcome_of(bool succeeded)
{
    return succeeded ? OperationOutcome::Succeeded : OperationOutcome::Failed;
}

OperationOutcome run_if_compare(Runtime& runtime, int number, DecodedOperation& operation)
{
    uint32_t left = 0, right = 0;
    if (!plain_number(runtime, operation.operands[0], left) || !plain_number(runtime, operation.operands[1], right))
        return OperationOutcome::NotRun;
    bool truth = compare(operation.comparison, left, right);
    if (operation.text.empty()) {
        if (!truth)
            skip_false_if_block(runtime);
        return OperationOutcome::Succeeded;
    }
    if (!truth)
        return OperationOutcome::Succeeded;
    std::string_view line = runtime.store.statement(number);
    if (operation.nested_add && runtime.nesting_depth < max_nesting_depth) {
        if (operation.nested_target.value < 0)
            operation.nested_target.value = existing_slot(runtime, line, operation.nested_target);
        if (operation.nested_target.value >= 0) {
            // As a nested statement runs: a fresh failure reason, and its
            // own keyword as the current one.
            runtime.failure_reason = FailureReason::None;
            runtime.current_keyword = operation.nested_keyword;
            add_to_variable(runtime, operation.nested_target.value, operation.nested_addend);
            return OperationOutcome::Succeeded;
        }
    }
    return outcome_of(execute_trimmed(runtime, operation.text.in(line), true));
}

// The head of FIM REPETE's loop and its shortcut, once the handler has
// found the head; false while it has not, or when the head has none.
[[gnu::noinline]] bool find_repeat_head(Runtime& runtime, int number, DecodedOperation& operation)
{
    int head = runtime.store.memo(ScriptStore::Memo::RepeatHead, number);
    if (head <= 0)
        return false;
    DecodedLine& head_line = runtime.store.decoded(head);
    if (head_line.kind != DecodedLine::Kind::Statement || head_line.operation < 0
        || runtime.store.operation(head_line.operation).kind != Kind::RepeatHead)
        return false;
    operation.head = head;
    operation.head_operation = head_line.operation;
    operation.head_generation = runtime.store.generation();
    return true;
}

// FIM REPETE: the next turn of its loop, when the loop goes on.
OperationOutcome run_end_repeat(Runtime& runtime, int number, DecodedOperation& operation)
{
    if (operation.head_generation != runtime.store.generation() && !find_repeat_head(runtime, number, operation))
        return OperationOutcome::NotRun;
    DecodedOperation& loop = runtime.store.operation(operation.head_operation);
    if (!slots_ready(runtime, operation.head, loop))
        return OperationOutcome::NotRun;
    int slot = loop.target.value;
    int32_t count = 0;
    if (!runtime.variables.known_number(slot, count) || count < 0 || count >= 999999999)
        return OperationOutcome::NotRun;
    int64_t limit = 0;
    if (!operand_number(runtime, loop.operands[0], limit))
        return OperationOutcome::NotRun;
    int32_t next = count + 1;
    // The loop's end, and anything unusual, is left to the handler.
    if (limit < next)
        return OperationOutcome::NotRun;
    std::string& counter = runtime.variables.writable_text(slot);
    if (!increment_digits_in_place(counter, 0)) {
        counter.clear();
        append_number(counter, next);
    }
    runtime.variables.remember_number(slot, next);
    runtime.current_line = operation.head;
    return OperationOutcome::Succeeded;
}

}

std::optional<DecodedOperation> decode_operation(const CommandTable& table, const CommandEntry* entry,
    std::string_view line, std::string_view rest)
{
    DecodedOperation operation;
    Cursor cursor(line, rest);
    if (is_own(entry, own_let_handler())) {
        if (decode_let(cursor, operation))
            return operation;
    } else if (is_own(entry, own_add_handler())) {
        operation.kind = Kind::AddLiteral;
        DecodedOperand addend;
        if (cursor.read_target(operation.target) && cursor.skip_spaces() && cursor.read_literal(addend, 9)
            && cursor.at_end()) {
            operation.operands[0] = addend;
            operation.operand_count = 1;
            return operation;
        }
    } else if (is_own(entry, own_if_handler())) {
        if (decode_if(table, cursor, operation))
            return operation;
    } else if (is_own(entry, own_repeat_handler())) {
        operation.kind = Kind::RepeatHead;
        if (cursor.read_target(operation.target) && cursor.skip_spaces()
            && read_compared(cursor, operation.operands[0]) && cursor.at_end()) {
            operation.operand_count = 1;
            return operation;
        }
    } else if (is_own(entry, own_end_handler())) {
        if (rest.size() == 6 && upper_text(rest) == "REPETE") {
            operation.kind = Kind::EndRepeat;
            return operation;
        }
        if (rest.size() == 2 && upper_text(rest) == "SE") {
            operation.kind = Kind::EndIf;
            return operation;
        }
    } else if (is_own(entry, own_else_handler())) {
        if (rest.empty()) {
            operation.kind = Kind::Else;
            return operation;
        }
    }
    return std::nullopt;
}

OperationOutcome run_operation(Runtime& runtime, int number, DecodedOperation& operation)
{
    switch (operation.kind) {
    case Kind::EndRepeat:
        return run_end_repeat(runtime, number, operation);
    case Kind::EndIf:
        return OperationOutcome::Succeeded;
    case Kind::Else:
        skip_else_block(runtime);
        return OperationOutcome::Succeeded;
    case Kind::RepeatHead:
        return OperationOutcome::NotRun;
    default:
        break;
    }
    if (!slots_ready(runtime, number, operation))
        return OperationOutcome::NotRun;
    switch (operation.kind) {
    case Kind::LetExpression:
        return run_let_expression(runtime, operation);
    case Kind::LetText:
        runtime.variables.set(operation.target.value, operation.text.in(runtime.store.statement(number)));
        return OperationOutcome::Succeeded;
    case Kind::LetCopy:
        runtime.variables.set(operation.target.value, runtime.variables.text(operation.operands[0].value));
        return OperationOutcome::Succeeded;
    case Kind::AddLiteral: {
        // Counting up by one a counter the arithmetic wrote changes its last
        // digits only.
        int slot = operation.target.value;
        int32_t current = 0;
        if (operation.operands[0].value == 1 && runtime.variables.known_number(slot, current) && current >= 0
            && current < 999999999 && increment_digits_in_place(runtime.variables.writable_text(slot), 0)) {
            runtime.variables.remember_number(slot, current + 1);
            return OperationOutcome::Succeeded;
        }
        add_to_variable(runtime, slot, operation.operands[0].value);
        return OperationOutcome::Succeeded;
    }
    case Kind::IfCompare:
        return run_if_compare(runtime, number, operation);
    default:
        return OperationOutcome::NotRun;
    }
}

}
