// SPDX-License-Identifier: GPL-3.0-or-later
// Number words of the recorded-word normaliser: Brazilian Portuguese cardinals.
#pragma once

#include <cstdint>
#include <string>

namespace speech {

constexpr uint64_t largest_number_in_words = 999'999'999'999'999;

// How "três" and "cinqüenta" are spelled: the recorded words are named
// without the accent and the dieresis; the phoneme-line voice reads text as
// it is written.
enum class CardinalSpelling { Unaccented, Written };

// The words of 0 to 999 999 999 999 999 (larger numbers are read as that),
// separated by single blanks, except the group names, which keep "ã"/"õ"
// (in Windows-1252) and a trailing blank ("mil" for 1000 is "mil ").
std::string number_to_words(uint64_t number, CardinalSpelling spelling = CardinalSpelling::Unaccented);

}
