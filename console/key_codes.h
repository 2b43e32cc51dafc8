// SPDX-License-Identifier: GPL-3.0-or-later
// Key codes: the bytes of the key encoding that the editor, menus and screen review answer to.
#pragma once

#include "interpreter/number.h"
#include "interpreter/terminal_port.h"

#include <cstdint>
#include <string>

namespace console {

// Keys that arrive as one byte.
namespace control_key {
constexpr uint8_t ctrl_b = 2;
constexpr uint8_t ctrl_c = 3;
constexpr uint8_t ctrl_d = 4;
constexpr uint8_t backspace = 8;
constexpr uint8_t tab = 9;
constexpr uint8_t ctrl_enter = 10;
constexpr uint8_t ctrl_k = 11;
constexpr uint8_t ctrl_l = 12;
constexpr uint8_t enter = 13;
constexpr uint8_t ctrl_s = 19;
constexpr uint8_t ctrl_u = 21;
constexpr uint8_t ctrl_v = 22;
constexpr uint8_t ctrl_y = 25;
constexpr uint8_t escape = 27;
constexpr uint8_t ctrl_backslash = 28;
constexpr uint8_t ctrl_backspace = 127;
}

// Keys without a character: the code that follows a 0 byte.
namespace extended_key {
constexpr uint8_t alt_q = 16;
constexpr uint8_t alt_e = 18;
constexpr uint8_t f1 = 59;
constexpr uint8_t f4 = 62;
constexpr uint8_t f5 = 63;
constexpr uint8_t f6 = 64;
constexpr uint8_t f8 = 66;
constexpr uint8_t f12 = 70;
constexpr uint8_t home = 71;
constexpr uint8_t up = 72;
constexpr uint8_t page_up = 73;
constexpr uint8_t left = 75;
constexpr uint8_t right = 77;
constexpr uint8_t end = 79;
constexpr uint8_t down = 80;
constexpr uint8_t page_down = 81;
constexpr uint8_t del = 83;
constexpr uint8_t ctrl_f1 = 94;
constexpr uint8_t ctrl_f4 = 97;
constexpr uint8_t ctrl_f5 = 98;
constexpr uint8_t ctrl_f8 = 101;
constexpr uint8_t ctrl_f9 = 102;
constexpr uint8_t ctrl_f11 = 104;
constexpr uint8_t ctrl_f12 = 105;
constexpr uint8_t ctrl_left = 115;
constexpr uint8_t ctrl_right = 116;
constexpr uint8_t ctrl_end = 117;
constexpr uint8_t ctrl_page_down = 118;
constexpr uint8_t ctrl_home = 119;
constexpr uint8_t alt_1 = 120;
constexpr uint8_t alt_0 = 129;
constexpr uint8_t ctrl_page_up = 132;
constexpr uint8_t shift_insert = 254;
constexpr uint8_t ctrl_insert = 255;
}

// A key as a script receives it: the character itself from 32 up, "#" and
// the decimal code for a control key ("#13"), "#0#" and the code for an
// extended key ("#0#60" for F2).
inline std::string key_text(interpreter::KeyPress key)
{
    if (!key.extended && key.code >= 32)
        return std::string(1, static_cast<char>(key.code));
    std::string text = key.extended ? "#0#" : "#";
    text += interpreter::format_number(key.code);
    return text;
}

}
