// SPDX-License-Identifier: GPL-3.0-or-later
// RecordingDesktop: a desktop in memory that writes down every key, click and window action.
#include "platform/headless/recording_desktop.h"

#include <cstring>

namespace platform {

std::optional<uint16_t> us_layout_code_word(unsigned char character)
{
    constexpr uint16_t shift = 0x100;
    if (character >= 'a' && character <= 'z')
        return static_cast<uint16_t>(character - 'a' + 'A');
    if (character >= 'A' && character <= 'Z')
        return static_cast<uint16_t>(shift | character);
    if (character >= '0' && character <= '9')
        return character;
    if (character == ' ')
        return 0x20;
    // The punctuation keys: unshifted and shifted character of each.
    struct PunctuationKey {
        char plain;
        char shifted;
        uint16_t virtual_key;
    };
    constexpr PunctuationKey keys[] = {
        { ';', ':', 0xBA }, { '=', '+', 0xBB }, { ',', '<', 0xBC }, { '-', '_', 0xBD }, { '.', '>', 0xBE },
        { '/', '?', 0xBF }, { '`', '~', 0xC0 }, { '[', '{', 0xDB }, { '\\', '|', 0xDC }, { ']', '}', 0xDD },
        { '\'', '"', 0xDE },
    };
    for (const auto& key : keys) {
        if (character == static_cast<unsigned char>(key.plain))
            return key.virtual_key;
        if (character == static_cast<unsigned char>(key.shifted))
            return static_cast<uint16_t>(shift | key.virtual_key);
    }
    constexpr char shifted_digits[] = ")!@#$%^&*(";
    if (const char* found = std::strchr(shifted_digits, character); found && character)
        return static_cast<uint16_t>(shift | ('0' + (found - shifted_digits)));
    return std::nullopt;
}

std::optional<uint16_t> RecordingDesktop::key_code_word(unsigned char character) { return us_layout_code_word(character); }

std::optional<uint16_t> RecordingDesktop::dead_key_code_word(unsigned char accent)
{
    for (auto [key, word] : dead_keys) {
        if (key == accent)
            return word;
    }
    return std::nullopt;
}

void RecordingDesktop::send_key(int virtual_key, bool down)
{
    actions.push_back((down ? "down " : "up ") + std::to_string(virtual_key));
}

void RecordingDesktop::type_unmapped_character(unsigned char character)
{
    actions.push_back("char " + std::to_string(character));
}

void RecordingDesktop::move_pointer(int x, int y)
{
    actions.push_back("move " + std::to_string(x) + "," + std::to_string(y));
}

void RecordingDesktop::apply_window_action(uint64_t window, WindowAction action)
{
    constexpr const char* names[] = { "close", "normal", "maximise", "minimise" };
    actions.push_back(std::string(names[static_cast<int>(action)]) + " " + std::to_string(window));
}

}
