// SPDX-License-Identifier: GPL-3.0-or-later
// The character classes screen review reads by: words, letters, spelled consonants, field separators.
#pragma once

#include <cstdint>

namespace console {

// Letters a word is made of: A..Z, a..z and the accented letters of
// Portuguese (and Ñ), in both cases.
bool is_review_letter(uint8_t character);
// A letter or a digit: what a spoken word is collected from.
bool is_review_word_character(uint8_t character);
// A word made only of these is spelled, since it cannot be pronounced.
bool is_spelled_consonant(uint8_t character);
// Characters that end a field even where the colour goes on.
bool is_field_separator(uint8_t character);

}
