// SPDX-License-Identifier: GPL-3.0-or-later
// Searching the screen for a text during screen review, and typing that text.
#pragma once

#include "console/review_reader.h"

#include <optional>
#include <string>
#include <string_view>

namespace interpreter {
struct Ports;
}

namespace console {

class ScreenBuffer;

// The longest search text: a row is no wider, so nothing longer can match.
constexpr size_t max_review_search_length = 80;

// The first occurrence of `text` (exact, case-sensitive) from the review
// row down to the last row; on the review row only an occurrence that starts
// after the review column counts. Nothing for an empty text.
std::optional<ReviewPosition> find_on_screen(const ScreenBuffer& screen, std::string_view text, ReviewPosition from);

// Asks "Qual texto" and lets the user type the text, each key spoken;
// Backspace takes the last character back. Enter gives the text, Esc
// nothing.
std::optional<std::string> read_search_text(interpreter::Ports ports);

}
