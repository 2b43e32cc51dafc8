// SPDX-License-Identifier: GPL-3.0-or-later
// The cell table (translated byte to dot pattern) and the chord table (dot pattern to character).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace braille {

// Dot patterns: bit 0 is dot 1 ... bit 5 dot 6, bit 6 dot 7, bit 7 dot 8.
constexpr uint8_t dot(int number) { return static_cast<uint8_t>(1u << (number - 1)); }

// The six-dot pattern of a byte of translated text.
uint8_t cell_of(uint8_t byte);

// The character a chord of dots 1 to 6 types (Windows-1252).
uint8_t character_of_chord(uint8_t dots);

// The cells a display of `cell_count` cells shows for translated text: the
// text padded with blanks, or cut, to exactly that many cells.
std::vector<uint8_t> cells_of_text(std::string_view translated, int cell_count);

}
