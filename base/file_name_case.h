// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing Windows-1252 names without regard to case, as Windows file and profile names are.
#pragma once

#include <string_view>

namespace base {

// The capital of a Windows-1252 letter: a..z, the accented small letters
// from 0xE0 (but not the division sign 0xF7), and the four small letters of
// the 0x80 row whose capitals the code page also holds. Other bytes are
// returned unchanged.
unsigned char fold_case(unsigned char byte);

bool equal_ignoring_case(std::string_view a, std::string_view b);

}
