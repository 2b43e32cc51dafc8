// SPDX-License-Identifier: GPL-3.0-or-later
// Searching the screen for a text during screen review, and typing that text.
#include "console/review_search.h"

#include "console/screen_buffer.h"
#include "interpreter/ports.h"

#include <algorithm>

namespace console {

std::optional<ReviewPosition> find_on_screen(const ScreenBuffer& screen, std::string_view text, ReviewPosition from)
{
    if (text.empty() || text.size() > static_cast<size_t>(screen_columns))
        return std::nullopt;
    for (int row = std::max(from.row, 1); row <= screen_rows; ++row) {
        // An occurrence must start after the review column (zero-based start
        // at least that column) on the review row, anywhere below it.
        size_t start = row == from.row ? static_cast<size_t>(std::max(from.column, 0)) : 0;
        if (start >= static_cast<size_t>(screen_columns))
            continue;
        size_t found = screen.row_text(row - 1).find(text, start);
        if (found != std::string::npos)
            return ReviewPosition { row, static_cast<int>(found) + 1 };
    }
    return std::nullopt;
}

std::optional<std::string> read_search_text(interpreter::Ports ports)
{
    ports.speech.speak_text("Qual texto");
    std::string text;
    while (true) {
        auto press = ports.terminal.read_key_press();
        // A key without a character types nothing.
        if (press.extended)
            continue;
        uint8_t key = press.code;
        switch (key) {
        case 27:
            return std::nullopt;
        case 13:
            return text;
        case 8:
            if (text.empty()) {
                ports.speech.play_beep();
            } else {
                char removed = text.back();
                text.pop_back();
                ports.speech.play_sound("_DEL");
                ports.speech.speak_char(removed);
            }
            continue;
        default:
            break;
        }
        if (key < 32 || key == 127)
            continue;
        if (text.size() >= max_review_search_length) {
            ports.speech.play_beep();
            continue;
        }
        text.push_back(static_cast<char>(key));
        ports.speech.speak_char(static_cast<char>(key));
    }
}

}
