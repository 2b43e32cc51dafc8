// SPDX-License-Identifier: GPL-3.0-or-later
// Conditions of SE and ENQUANTO, and the comparison key they sort by.
#include "interpreter/condition.h"

#include "interpreter/argument_readers.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace interpreter {

namespace {

constexpr size_t key_digits = 21;

bool is_all_digits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return is_digit(c); });
}

// A comparison key that lives in a fixed buffer when it is zero-filled and
// is the value itself (upper-cased as it is read) otherwise.
struct KeyView {
    char digits[key_digits];
    std::string_view text;
    bool upper_on_read;

    explicit KeyView(std::string_view value)
    {
        if (!is_all_digits(value)) {
            text = value;
            upper_on_read = true;
            return;
        }
        upper_on_read = false;
        size_t width = value.empty() ? key_digits - 1 : key_digits;
        if (value.size() > width)
            value = value.substr(value.size() - width);
        size_t padding = width - value.size();
        std::memset(digits, '0', padding);
        std::memcpy(digits + padding, value.data(), value.size());
        text = std::string_view(digits, width);
    }

    unsigned char at(size_t index) const
    {
        return static_cast<unsigned char>(upper_on_read ? upper_byte(text[index]) : text[index]);
    }
};

enum class Operator { GreaterEqual, LessEqual, Exact, Different, Contains, StartsWith, EndsWith, In, Equal, Less, Greater };

struct RecognisedOperator {
    Operator op;
    size_t length;
};

// The operators are tried in the order ">=", "<=", "==", "<>", "*=*", "=*",
// "*=", "EM", "=", "<", ">"; deciding on the first character gives the same
// answer without trying them one by one.
std::optional<RecognisedOperator> recognise_operator(std::string_view text)
{
    char next = text.size() > 1 ? text[1] : '\0';
    switch (text[0]) {
    case '>':
        return next == '=' ? RecognisedOperator { Operator::GreaterEqual, 2 } : RecognisedOperator { Operator::Greater, 1 };
    case '<':
        if (next == '=')
            return RecognisedOperator { Operator::LessEqual, 2 };
        if (next == '>')
            return RecognisedOperator { Operator::Different, 2 };
        return RecognisedOperator { Operator::Less, 1 };
    case '=':
        if (next == '=')
            return RecognisedOperator { Operator::Exact, 2 };
        if (next == '*')
            return RecognisedOperator { Operator::StartsWith, 2 };
        return RecognisedOperator { Operator::Equal, 1 };
    case '*':
        if (next != '=')
            return std::nullopt;
        if (text.size() > 2 && text[2] == '*')
            return RecognisedOperator { Operator::Contains, 3 };
        return RecognisedOperator { Operator::EndsWith, 2 };
    case 'E':
    case 'e':
        if (next == 'M' || next == 'm')
            return RecognisedOperator { Operator::In, 2 };
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

bool is_negation(std::string_view text)
{
    if (text.size() < 3)
        return false;
    char a = upper_byte(text[0]), b = upper_byte(text[1]), c = upper_byte(text[2]);
    return a == 'N' && (b == 'A' || b == '\xC3') && c == 'O';
}

}

std::string compare_key(std::string_view value)
{
    KeyView key(value);
    std::string result(key.text.size(), ' ');
    for (size_t i = 0; i < key.text.size(); ++i)
        result[i] = static_cast<char>(key.at(i));
    return result;
}

namespace {

// Two digit texts compare as their zero-filled keys would: the last 21
// digits, leading zeros dropped, the longer number larger. The empty text
// (20 zeros) sorts before every other digit text and equals none.
int compare_digit_keys(std::string_view left, std::string_view right)
{
    if (left.empty() || right.empty())
        return int(!left.empty()) - int(!right.empty());
    auto significant = [](std::string_view digits) {
        if (digits.size() > key_digits)
            digits.remove_prefix(digits.size() - key_digits);
        size_t zeros = 0;
        while (zeros < digits.size() && digits[zeros] == '0')
            ++zeros;
        return digits.substr(zeros);
    };
    left = significant(left);
    right = significant(right);
    if (left.size() != right.size())
        return left.size() < right.size() ? -1 : 1;
    return left.compare(right);
}

}

namespace {

// Kept out of line so that the short-number case needs no stack frame.
[[gnu::noinline]] int compare_general_keys(std::string_view left, std::string_view right)
{
    bool left_digits = is_all_digits(left);
    bool right_digits = is_all_digits(right);
    if (left_digits && right_digits)
        return compare_digit_keys(left, right);
    if (!left_digits && !right_digits) {
        size_t common = std::min(left.size(), right.size());
        for (size_t i = 0; i < common; ++i) {
            int difference = int(static_cast<unsigned char>(upper_byte(left[i])))
                - int(static_cast<unsigned char>(upper_byte(right[i])));
            if (difference != 0)
                return difference;
        }
        return int(left.size() > right.size()) - int(left.size() < right.size());
    }
    KeyView a(left), b(right);
    size_t common = std::min(a.text.size(), b.text.size());
    for (size_t i = 0; i < common; ++i) {
        int difference = int(a.at(i)) - int(b.at(i));
        if (difference != 0)
            return difference;
    }
    return int(a.text.size() > b.text.size()) - int(a.text.size() < b.text.size());
}

}

int compare_by_key(std::string_view left, std::string_view right)
{
    // Counters and small numbers on both sides are the commonest case of a
    // loop's conditions.
    // One to nine plain digits order as their values do.
    uint32_t left_value = 0, right_value = 0;
    if (parse_plain_digits(left, left_value) && parse_plain_digits(right, right_value))
        return int(left_value > right_value) - int(left_value < right_value);
    return compare_general_keys(left, right);
}

namespace {

// A value of the simple form: a remembered "$" name holding one to nine
// plain digits, or a literal of one to nine digits. `text` is left past it,
// trimmed at the front. False for anything else.
inline bool read_simple_number(Runtime& runtime, std::string_view& text, uint32_t& value)
{
    std::string_view rest = text;
    int slot = read_remembered_name(runtime, rest);
    if (slot >= 0) {
        // A remembered number of one to nine digits is written as exactly
        // those plain digits.
        int32_t known = 0;
        if (runtime.variables.known_number(slot, known) && known >= 0 && known <= 999999999)
            value = static_cast<uint32_t>(known);
        else if (!parse_plain_digits(runtime.variables.text(slot), value))
            return false;
        text = rest;
        return true;
    }
    return read_short_literal(text, value);
}

// Most conditions of a loop compare a counter or a small number with
// another by = <> < > <= >=. When both sides are of that simple form they
// compare as numbers, as their keys would, and the condition is decided
// here; anything else (a negation, a text, an expression, another operator)
// returns false and is read afresh by the general rules. Nothing is changed
// on the way, so starting again is safe.
bool decide_simple_condition(Runtime& runtime, std::string_view text, ConditionResult& result)
{
    uint32_t left = 0;
    if (!read_simple_number(runtime, text, left) || text.empty())
        return false;
    char next = text.size() > 1 ? text[1] : '\0';
    Operator op;
    size_t length = 1;
    switch (text[0]) {
    case '=':
        if (next == '=' || next == '*')
            return false;
        op = Operator::Equal;
        break;
    case '<':
        op = next == '=' ? Operator::LessEqual : next == '>' ? Operator::Different : Operator::Less;
        length = op == Operator::Less ? 1 : 2;
        break;
    case '>':
        op = next == '=' ? Operator::GreaterEqual : Operator::Greater;
        length = op == Operator::Greater ? 1 : 2;
        break;
    default:
        return false;
    }
    text = trim_front(text.substr(length));
    uint32_t right = 0;
    if (!read_simple_number(runtime, text, right))
        return false;
    bool truth = false;
    switch (op) {
    case Operator::Equal: truth = left == right; break;
    case Operator::Different: truth = left != right; break;
    case Operator::Less: truth = left < right; break;
    case Operator::Greater: truth = left > right; break;
    case Operator::LessEqual: truth = left <= right; break;
    default: truth = left >= right; break;
    }
    result.valid = true;
    result.truth = truth;
    result.rest = text;
    return true;
}

ConditionResult eval_general_condition(Runtime& runtime, std::string_view text);

}

ConditionResult eval_condition(Runtime& runtime, std::string_view text)
{
    text = trim(text);
    ConditionResult result;
    if (decide_simple_condition(runtime, text, result))
        return result;
    return eval_general_condition(runtime, text);
}

ConditionResult eval_condition_by_rules(Runtime& runtime, std::string_view text)
{
    return eval_general_condition(runtime, trim(text));
}

namespace {

// `text` is trimmed.
[[gnu::noinline]] ConditionResult eval_general_condition(Runtime& runtime, std::string_view text)
{
    ConditionResult result;
    if (text.empty())
        return result;
    bool negated = false;
    if (is_negation(text)) {
        text = trim(text.substr(3));
        if (text.empty())
            return result;
        negated = true;
    }
    // Both values are seen where they stand: neither reader changes a
    // variable, so the left one's view outlives the reading of the right.
    std::string& left_scratch = runtime.condition_scratch[0];
    std::string_view left;
    if (!read_trimmed_value_view(runtime, text, left_scratch, left) || text.empty())
        return result;

    auto found = recognise_operator(text);
    if (!found)
        return result;
    // The text was trimmed at its end, and still is.
    text = trim_front(text.substr(found->length));
    if (text.empty())
        return result;

    bool truth = false;
    if (found->op == Operator::In) {
        auto name = read_list_name(text);
        if (!name)
            return result;
        text = trim(text);
        auto* list = runtime.lists.find(*name);
        if (!list)
            return result;
        // Negation applies to each item's test: a negated "EM" is true when
        // some item differs from the value.
        for (const auto& item : list->items) {
            bool matches = compare_by_key(item, left) == 0;
            if (matches != negated) {
                truth = true;
                break;
            }
        }
        negated = false;
    } else {
        std::string& right_scratch = runtime.condition_scratch[1];
        std::string_view right;
        if (!read_trimmed_value_view(runtime, text, right_scratch, right))
            return result;
        switch (found->op) {
        case Operator::Equal: truth = compare_by_key(left, right) == 0; break;
        case Operator::Different: truth = compare_by_key(left, right) != 0; break;
        case Operator::Less: truth = compare_by_key(left, right) < 0; break;
        case Operator::Greater: truth = compare_by_key(left, right) > 0; break;
        case Operator::LessEqual: truth = compare_by_key(left, right) <= 0; break;
        case Operator::GreaterEqual: truth = compare_by_key(left, right) >= 0; break;
        case Operator::Exact: truth = left == right; break;
        case Operator::Contains: truth = !right.empty() && left.find(right) != std::string_view::npos; break;
        case Operator::StartsWith: truth = !right.empty() && left.starts_with(right); break;
        case Operator::EndsWith: truth = !right.empty() && left.ends_with(right); break;
        case Operator::In: break;
        }
    }
    result.valid = true;
    result.truth = negated ? !truth : truth;
    // Every way here leaves the rest trimmed.
    result.rest = text;
    return result;
}

}

}
