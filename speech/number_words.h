// SPDX-License-Identifier: GPL-3.0-or-later
// Number words of the recorded-word normaliser: Brazilian Portuguese cardinals.
#pragma once

#include <cstdint>
#include <string>

namespace speech {

constexpr uint64_t largest_number_in_words = 999'999'999'999'999;

// The words of 0 to 999 999 999 999 999, separated by single blanks, in the
// unaccented spelling of the recorded words, except the group names, which
// keep "ã"/"õ" and a trailing blank ("mil" for 1000 is "mil ").
std::string number_to_words(uint64_t number);

}
