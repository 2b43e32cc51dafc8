// SPDX-License-Identifier: GPL-3.0-or-later
// The operand readers that every command uses on the rest of its statement.
#pragma once

#include "interpreter/runtime.h"
#include "interpreter/text.h"

#include <optional>
#include <string>
#include <string_view>

namespace interpreter {

// Each reader consumes what it read from the front of `rest` and returns
// nothing (or false) when the operand is not there; the command then fails.

// A variable that receives a result: a letter, or "$" and a name.
std::optional<int> read_target(Runtime& runtime, std::string_view& rest);
// The same for a rest trimmed at both ends already, as handlers receive it
// and as every reader leaves it (inline below).
std::optional<int> read_trimmed_target_general(Runtime& runtime, std::string_view& rest);
// "$" and a name; registers the name on first use.
std::optional<int> read_named_variable(Runtime& runtime, std::string_view& rest);
// The slot of the name at the front of `text` (after its "$"), registering
// it on first use; `length` is set to the name's length, 0 when there is no
// name. A name is letters and digits, with "_" as well when `underscore`.
// Nothing when there is no name or the name table is full.
std::optional<int> find_name_slot(Runtime& runtime, std::string_view text, bool underscore, size_t& length);
// A number literal, a text literal, a variable's text or "(" expression ")".
bool read_value(Runtime& runtime, std::string_view& rest, std::string& value);
// The same value as read_value, seen where it already stands when it can
// be (a variable's text, a literal without doubled quotes) and built in
// `scratch` only when it must. The view lasts until the next change of a
// variable or of `scratch`.
bool read_value_view(Runtime& runtime, std::string_view& rest, std::string& scratch, std::string_view& value);
// The same for a rest that is trimmed already, as every reader leaves it:
// conditions read two values in a row and need not trim between them
// (inline below).
bool read_trimmed_value_view_general(Runtime& runtime, std::string_view& rest, std::string& scratch, std::string_view& value);
// The "(expression)" at the front of `rest` as a number; `rest` is left just
// past the ")", not trimmed.
bool read_parenthesised_number(Runtime& runtime, std::string_view& rest, int64_t& value);
// "#" and one digit followed by a space or the end: the channel 0..9.
std::optional<int> read_channel(std::string_view& rest);
// "[" name "]"; the text after "]" stays in the rest untrimmed.
std::optional<std::string_view> read_list_name(std::string_view& rest);

// Removes a trailing "&" and trims again; true when there was one.
bool take_trailing_ampersand(std::string_view& rest);

// Reads a value and converts it as a number.
std::optional<int32_t> read_number_value(Runtime& runtime, std::string_view& rest);
// The same for a rest trimmed at both ends already (inline below).
std::optional<int32_t> read_trimmed_number_value_general(Runtime& runtime, std::string_view& rest);
// Notes `reason` (a number could not be read) and returns nothing; out of
// line, as only a failing statement comes here.
[[gnu::cold]] std::optional<int32_t> no_number(Runtime& runtime, FailureReason reason);

// What the place memo's entries for names are valid for: names move to other
// slots when the variables are reset, and places move when the store changes.
inline uint64_t name_memo_generation(const Runtime& runtime)
{
    return (uint64_t(runtime.store.generation()) << 32) | runtime.variables.generation();
}

// The slot the store's place memo remembers for the name at the front of
// `text` (after its "$"), with `length` set to the name's length; -1 when
// the memo does not know this place. A reader may see the same place through
// a view that ends inside the name; that view is shorter and misses.
inline int remembered_name_slot(Runtime& runtime, std::string_view text, bool underscore, size_t& length)
{
    const auto* memos = runtime.store.place_memos(text.data());
    uint64_t generation = name_memo_generation(runtime);
    for (int way = 0; way < 2; ++way) {
        const auto& memo = memos[way];
        if (memo.where == text.data() && memo.generation == generation && memo.kind == (underscore ? 1 : 2)
            && memo.length <= text.size()) {
            length = memo.length;
            return memo.value;
        }
    }
    return -1;
}

// The slot of a "$" name at the front of a trimmed `rest` when the place
// memo knows it, with `rest` moved past it (still trimmed); -1, with `rest`
// unchanged, otherwise. Loops read the same places over and over, and the
// inline readers below take them from here.
inline int read_remembered_name(Runtime& runtime, std::string_view& rest)
{
    if (rest.size() < 2 || rest[0] != '$')
        return -1;
    std::string_view name(rest.data() + 1, rest.size() - 1);
    size_t length = 0;
    int slot = remembered_name_slot(runtime, name, true, length);
    if (slot >= 0)
        rest = trim_front(std::string_view(name.data() + length, name.size() - length));
    return slot;
}

// A literal of one to nine digits at the front of a trimmed `rest`: its
// value, with `rest` moved past it (still trimmed). False, with `rest`
// unchanged, for anything else, a longer run of digits included.
inline bool read_short_literal(std::string_view& rest, uint32_t& value)
{
    size_t length = 0;
    value = 0;
    unsigned digit = 0;
    while (length < rest.size() && (digit = static_cast<unsigned char>(rest[length]) - unsigned('0')) <= 9) {
        if (length == 9)
            return false;
        value = value * 10 + digit;
        ++length;
    }
    if (length == 0)
        return false;
    rest = trim_front(std::string_view(rest.data() + length, rest.size() - length));
    return true;
}

// Nearly every statement starts with a target: a remembered "$" name is read
// inline in the handler, and everything else by the general reader.
inline std::optional<int> read_trimmed_target(Runtime& runtime, std::string_view& rest)
{
    int slot = read_remembered_name(runtime, rest);
    if (slot >= 0)
        return slot;
    return read_trimmed_target_general(runtime, rest);
}

// Conditions and SEJA read a "$" name the memo knows or a literal of
// digits here, inline; everything else through the general reader.
inline bool read_trimmed_value_view(Runtime& runtime, std::string_view& rest, std::string& scratch, std::string_view& value)
{
    if (int slot = read_remembered_name(runtime, rest); slot >= 0) {
        value = runtime.variables.text(slot);
        return true;
    }
    if (!rest.empty() && is_digit(rest[0])) {
        size_t length = 1;
        while (length < rest.size() && is_digit(rest[length]))
            ++length;
        value = std::string_view(rest.data(), length);
        rest = trim_front(std::string_view(rest.data() + length, rest.size() - length));
        return true;
    } else if (!rest.empty() && rest[0] == '"') {
        // A short text between quotes, without a doubled quote inside, is
        // its own value.
        size_t close = 1;
        while (close < rest.size() && rest[close] != '"')
            ++close;
        if (close < rest.size() && (close + 1 == rest.size() || rest[close + 1] != '"')) {
            value = std::string_view(rest.data() + 1, close - 1);
            rest = trim_front(std::string_view(rest.data() + close + 1, rest.size() - close - 1));
            return true;
        }
    }
    return read_trimmed_value_view_general(runtime, rest, scratch, value);
}

// A literal of one to nine digits is its own value and a "$" name the memo
// knows holds its slot's number; both are read inline, and anything else by
// the general reader.
inline std::optional<int32_t> read_trimmed_number_value(Runtime& runtime, std::string_view& rest)
{
    uint32_t value = 0;
    if (read_short_literal(rest, value))
        return static_cast<int32_t>(value);
    if (int slot = read_remembered_name(runtime, rest); slot >= 0) {
        auto number = runtime.variables.number(slot);
        return number ? number : no_number(runtime, FailureReason::NotANumber);
    }
    return read_trimmed_number_value_general(runtime, rest);
}

}
