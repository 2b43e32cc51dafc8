// SPDX-License-Identifier: GPL-3.0-or-later
// RecordingDesktop: a desktop in memory that writes down every key, click and window action.
#pragma once

#include "platform/desktop_input.h"

#include <string>
#include <vector>

namespace platform {

// A keyboard with the United States layout of Windows and no dead keys,
// unless the test gives it some, and a list of windows the test sets.
// Actions are recorded one per entry: "down 65", "up 65", "numlock",
// "char 231", "end" (of typing), "move 10,20", "button down", "button up", "close 7", ...
class RecordingDesktop final : public DesktopInput {
public:
    std::string name() override { return "headless"; }
    std::optional<uint16_t> key_code_word(unsigned char character) override;
    std::optional<uint16_t> dead_key_code_word(unsigned char accent) override;
    void send_key(int virtual_key, bool down) override;
    void type_unmapped_character(unsigned char character) override;
    void end_typing() override { actions.push_back("end"); }
    void toggle_num_lock() override { actions.push_back("numlock"); }
    void move_pointer(int x, int y) override;
    void press_left_button(bool down) override { actions.push_back(down ? "button down" : "button up"); }
    std::vector<TopLevelWindow> windows() override { return window_list; }
    void apply_window_action(uint64_t window, WindowAction action) override;
    std::optional<ScreenArea> foreground_area() override { return front_area; }
    int frame_width() override { return frame; }
    std::string foreground_title() override { return front_title; }
    std::string focus_text() override { return focused_text; }

    std::vector<std::string> actions;
    std::vector<TopLevelWindow> window_list;
    std::optional<ScreenArea> front_area;
    int frame = 4;
    std::string front_title;
    std::string focused_text;
    // The dead keys of the keyboard: accent byte and code word.
    std::vector<std::pair<unsigned char, uint16_t>> dead_keys;
};

// The code word that Windows' United States layout gives for an ASCII
// character; nothing outside 32..126.
std::optional<uint16_t> us_layout_code_word(unsigned char character);

}
