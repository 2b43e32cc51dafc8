// SPDX-License-Identifier: GPL-3.0-or-later
// The operand readers that every command uses on the rest of its statement.
#include "interpreter/argument_readers.h"

#include "interpreter/expression.h"
#include "interpreter/messages.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"

namespace interpreter {

namespace {

bool is_name_char(char c, bool underscore)
{
    return is_ascii_letter(c) || is_digit(c) || (underscore && c == '_');
}

}

namespace {

// Slots travel as plain ints inside this file, -1 for none: an optional
// returned through the inlined readers is shuffled through the stack.
constexpr int no_slot = -1;

// The slot of a name that is not in the place memo yet; kept out of line so
// that the memo's hit path stays small.
[[gnu::noinline]] int look_up_name(Runtime& runtime, std::string_view text, bool underscore,
    size_t& length, uint64_t generation)
{
    // The name is upper-cased and hashed in the same pass that finds its end.
    char buffer[64];
    uint32_t hash = Variables::name_hash_start;
    length = 0;
    while (length < text.size() && is_name_char(text[length], underscore)) {
        char upper = upper_byte(text[length]);
        hash = Variables::name_hash_step(hash, upper);
        if (length < sizeof buffer)
            buffer[length] = upper;
        ++length;
    }
    if (length == 0)
        return no_slot;
    auto slot = length <= sizeof buffer ? runtime.variables.find_or_add(std::string_view(buffer, length), hash)
                                        : runtime.variables.slot_of_written_name(text.substr(0, length));
    // Only a name that ends where its stored text shows it ending is kept:
    // then any view that covers the name ends it at the same place.
    const char* text_end = slot && length <= UINT16_MAX ? runtime.store.text_end_around(runtime.current_line, text.data())
                                                        : nullptr;
    const char* name_end = text.data() + length;
    if (text_end && name_end <= text_end && (name_end == text_end || !is_name_char(*name_end, underscore)))
        runtime.store.remember_place(
            { text.data(), generation, *slot, static_cast<uint16_t>(length), static_cast<uint8_t>(underscore ? 1 : 2) });
    return slot.value_or(no_slot);
}

// A reference in the stored script finds its slot in the place memo, and
// is looked up (and remembered) otherwise.
inline int recall_name_slot(Runtime& runtime, std::string_view text, bool underscore, size_t& length)
{
    int slot = remembered_name_slot(runtime, text, underscore, length);
    if (slot >= 0)
        return slot;
    return look_up_name(runtime, text, underscore, length, name_memo_generation(runtime));
}

}

std::optional<int> find_name_slot(Runtime& runtime, std::string_view text, bool underscore, size_t& length)
{
    int slot = recall_name_slot(runtime, text, underscore, length);
    if (slot == no_slot)
        return std::nullopt;
    return slot;
}

namespace {

// read_named_variable, inline in the readers that every statement uses.
// `rest` starts with the "$" and is trimmed at its end, so what follows the
// name needs trimming only at its front.
inline int read_name(Runtime& runtime, std::string_view& rest)
{
    std::string_view name(rest.data() + 1, rest.size() - 1);
    size_t length = 0;
    int slot = recall_name_slot(runtime, name, true, length);
    if (slot == no_slot) {
        if (length > 0) {
            write_message_line(runtime, "Muitas vari\xE1veis no programa (m\xE1ximo 127)");
            fail_because(runtime, FailureReason::TooManyNames);
        }
        return no_slot;
    }
    rest = trim_front(std::string_view(name.data() + length, name.size() - length));
    return slot;
}

}

std::optional<int> read_named_variable(Runtime& runtime, std::string_view& rest)
{
    int slot = read_name(runtime, rest);
    if (slot == no_slot)
        return std::nullopt;
    rest = trim(rest);
    return slot;
}

std::optional<int> read_target(Runtime& runtime, std::string_view& rest)
{
    rest = trim(rest);
    return read_trimmed_target(runtime, rest);
}

std::optional<int> read_trimmed_target_general(Runtime& runtime, std::string_view& rest)
{
    if (rest.empty())
        return std::nullopt;
    char first = rest[0];
    if (first == '$') {
        int slot = read_name(runtime, rest);
        if (slot == no_slot)
            return std::nullopt;
        return slot;
    }
    first = upper_byte(first);
    if (first < 'A' || first > 'Z')
        return std::nullopt;
    if (rest.size() > 1 && (is_ascii_letter(rest[1]) || is_digit(rest[1])))
        return std::nullopt;
    rest = trim_front(rest.substr(1));
    return static_cast<int>(first);
}

bool read_parenthesised_number(Runtime& runtime, std::string_view& rest, int64_t& value)
{
    auto result = eval_expression(runtime, rest.substr(1));
    if (!result.valid)
        return false;
    rest = trim_front(result.rest);
    if (rest.empty() || rest[0] != ')')
        return false;
    rest.remove_prefix(1);
    value = result.value;
    return true;
}

namespace {

// "(expression)" at the front of `rest`: its value written into `value`, and
// `rest` moved past the ")".
inline bool read_parenthesised(Runtime& runtime, std::string_view& rest, std::string& value)
{
    int64_t number = 0;
    if (!read_parenthesised_number(runtime, rest, number))
        return false;
    value.clear();
    append_number(value, number);
    return true;
}

}

bool read_value(Runtime& runtime, std::string_view& rest, std::string& value)
{
    rest = trim(rest);
    if (rest.empty())
        return false;
    char first = rest[0];
    if (first == '-' || is_digit(first)) {
        size_t length = 1;
        while (length < rest.size() && is_digit(rest[length]))
            ++length;
        value.assign(rest.substr(0, length));
        rest.remove_prefix(length);
    } else if (first == '"') {
        value.clear();
        size_t index = 1;
        while (index < rest.size()) {
            if (rest[index] == '"') {
                if (index + 1 < rest.size() && rest[index + 1] == '"') {
                    value += '"';
                    index += 2;
                    continue;
                }
                ++index; // the closing quote
                break;
            }
            value += rest[index++];
        }
        rest.remove_prefix(index);
    } else if (first == '$') {
        // read_name leaves the rest trimmed already.
        int slot = read_name(runtime, rest);
        if (slot == no_slot)
            return false;
        value.assign(runtime.variables.text(slot));
        return true;
    } else if (is_ascii_letter(first)) {
        value.assign(runtime.variables.text(upper_byte(first)));
        rest.remove_prefix(1);
    } else if (first == '(') {
        if (!read_parenthesised(runtime, rest, value))
            return false;
    } else {
        return false;
    }
    // The rest was trimmed at its end, and still is.
    rest = trim_front(rest);
    return true;
}

bool read_value_view(Runtime& runtime, std::string_view& rest, std::string& scratch, std::string_view& value)
{
    rest = trim(rest);
    return read_trimmed_value_view(runtime, rest, scratch, value);
}

// What the inline reader leaves: names the memo does not know yet, signed
// literals, letters, expressions, and quoted texts with a doubled quote or
// without their closing one (read_value decides those).
bool read_trimmed_value_view_general(Runtime& runtime, std::string_view& rest, std::string& scratch, std::string_view& value)
{
    if (rest.empty())
        return false;
    char first = rest[0];
    if (first == '$') {
        // read_name leaves the rest trimmed already.
        int slot = read_name(runtime, rest);
        if (slot == no_slot)
            return false;
        value = runtime.variables.text(slot);
        return true;
    } else if (first == '-' || is_digit(first)) {
        size_t length = 1;
        while (length < rest.size() && is_digit(rest[length]))
            ++length;
        value = rest.substr(0, length);
        rest.remove_prefix(length);
    } else if (is_ascii_letter(first)) {
        value = runtime.variables.text(upper_byte(first));
        rest.remove_prefix(1);
    } else if (first == '(') {
        // The value is written out, as SEJA stores it.
        if (!read_parenthesised(runtime, rest, scratch))
            return false;
        value = scratch;
    } else {
        if (!read_value(runtime, rest, scratch))
            return false;
        value = scratch;
        return true;
    }
    rest = trim_front(rest);
    return true;
}

std::optional<int32_t> read_number_value(Runtime& runtime, std::string_view& rest)
{
    rest = trim(rest);
    return read_trimmed_number_value(runtime, rest);
}

std::optional<int32_t> no_number(Runtime& runtime, FailureReason reason)
{
    fail_because(runtime, reason);
    return std::nullopt;
}

std::optional<int32_t> read_trimmed_number_value_general(Runtime& runtime, std::string_view& rest)
{
    // Literals and variables are converted where they stand, without the
    // copy that read_value makes; the result is the same.
    if (rest.empty())
        return no_number(runtime, FailureReason::MissingOperand);
    unsigned digit = static_cast<unsigned char>(rest[0]) - unsigned('0');
    if (digit <= 9) {
        // A literal of one to nine digits is its own value, gathered while
        // its end is found; a longer one takes the general rule.
        uint32_t value = digit;
        size_t length = 1;
        while (length < rest.size() && (digit = static_cast<unsigned char>(rest[length]) - unsigned('0')) <= 9) {
            value = value * 10 + digit;
            ++length;
        }
        std::optional<int32_t> number = static_cast<int32_t>(value);
        if (length > 9)
            number = parse_number(rest.substr(0, length));
        // The rest was trimmed at its end, and still is.
        rest = trim_front(std::string_view(rest.data() + length, rest.size() - length));
        return number ? number : no_number(runtime, FailureReason::NotANumber);
    }
    if (rest[0] == '-') {
        size_t length = 1;
        while (length < rest.size() && is_digit(rest[length]))
            ++length;
        auto number = parse_number(rest.substr(0, length));
        rest = trim(rest.substr(length));
        return number ? number : no_number(runtime, FailureReason::NotANumber);
    }
    if (rest[0] == '$') {
        int slot = read_name(runtime, rest);
        if (slot == no_slot)
            return no_number(runtime, FailureReason::InvalidVariable);
        auto number = runtime.variables.number(slot);
        return number ? number : no_number(runtime, FailureReason::NotANumber);
    }
    std::string scratch;
    std::string_view text;
    if (!read_trimmed_value_view(runtime, rest, scratch, text))
        return no_number(runtime, FailureReason::InvalidValue);
    auto number = parse_number(text);
    return number ? number : no_number(runtime, FailureReason::NotANumber);
}

std::optional<int> read_channel(std::string_view& rest)
{
    rest = trim(rest);
    if (rest.size() < 2 || rest[0] != '#' || !is_digit(rest[1]))
        return std::nullopt;
    if (rest.size() > 2 && rest[2] != ' ')
        return std::nullopt;
    int channel = rest[1] - '0';
    rest.remove_prefix(2);
    while (!rest.empty() && rest[0] == ' ')
        rest.remove_prefix(1);
    return channel;
}

std::optional<std::string_view> read_list_name(std::string_view& rest)
{
    rest = trim(rest);
    if (rest.size() < 2 || rest[0] != '[')
        return std::nullopt;
    // The name needs at least one character, so a "]" right after "[" is
    // part of the name rather than its end.
    size_t close = rest.find(']', 2);
    if (close == std::string_view::npos)
        return std::nullopt;
    auto name = rest.substr(1, close - 1);
    rest.remove_prefix(close + 1);
    return name;
}

bool take_trailing_ampersand(std::string_view& rest)
{
    if (rest.empty() || rest.back() != '&')
        return false;
    rest.remove_suffix(1);
    rest = trim(rest);
    return true;
}

}
