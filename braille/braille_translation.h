// SPDX-License-Identifier: GPL-3.0-or-later
// Translation of a console row into Portuguese grade-1 braille text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace braille {

struct Translation {
    // Windows-1252 bytes that the cell table turns into dots.
    std::string text;
    // For each byte of the row, where its translation starts in `text`
    // (a byte folded into a sign with others points at the sign).
    std::vector<size_t> offsets;
};

// Capitals, numbers and ordinals, lowered digits, brackets of numbers, the
// signs written with a grave accent and the special characters become the
// braille characters of Portuguese grade 1, left to right.
Translation translate_row(std::string_view row);

}
