// SPDX-License-Identifier: GPL-3.0-or-later
// Reading text as a 32-bit number and writing numbers as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace interpreter {

// Leading spaces, an optional sign, then decimal digits, or hexadecimal digits
// introduced by "$", "x", "X", "0x" or "0X". Anything else, including trailing
// spaces, an empty text or a value outside the signed 32-bit range, is not a
// number.
std::optional<int32_t> parse_number(std::string_view text);

std::string format_number(int64_t value);
void append_number(std::string& out, int64_t value);

}
