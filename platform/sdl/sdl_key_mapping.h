// SPDX-License-Identifier: GPL-3.0-or-later
// SDL key mapping: SDL keyboard and text events as the event loop's events.
#pragma once

#include "platform/event_source.h"

#include <SDL_keyboard.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Keys go by scancode, the key's place on the keyboard, so that the braille
// chord keys F D S J K L stay under the fingers whatever the layout.
// Without Num Lock the keypad gives its navigation keys.
Key key_of_scancode(SDL_Scancode scancode, uint16_t sdl_modifiers);

uint8_t modifiers_of(uint16_t sdl_modifiers);

// The characters of a text-input event in Windows-1252, without control
// characters and without those the code page has no byte for.
std::string typed_characters(std::string_view utf8);

// Whether the text typed by a key pressed with these modifiers is left to
// the system, as it is with the left Alt (a menu shortcut) or with Ctrl
// (the press itself made the control byte). AltGr types characters.
bool text_left_to_system(uint16_t sdl_modifiers);

}
