// SPDX-License-Identifier: GPL-3.0-or-later
// The operand readers that every command uses on the rest of its statement.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace interpreter {

struct Runtime;

// Each reader consumes what it read from the front of `rest` and returns
// nothing (or false) when the operand is not there; the command then fails.

// A variable that receives a result: a letter, or "$" and a name.
std::optional<int> read_target(Runtime& runtime, std::string_view& rest);
// The same for a rest trimmed at both ends already, as handlers receive it
// and as every reader leaves it.
std::optional<int> read_trimmed_target(Runtime& runtime, std::string_view& rest);
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
// conditions read two values in a row and need not trim between them.
bool read_trimmed_value_view(Runtime& runtime, std::string_view& rest, std::string& scratch, std::string_view& value);
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
// The same for a rest trimmed at both ends already.
std::optional<int32_t> read_trimmed_number_value(Runtime& runtime, std::string_view& rest);

}
