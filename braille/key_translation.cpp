// SPDX-License-Identifier: GPL-3.0-or-later
// KeyTranslation: the display's key reports made into the bytes of the console's key queue.
#include "braille/key_translation.h"

#include "braille/cell_table.h"

namespace braille {

namespace report = platform::braille_report;

std::optional<TypedKey> KeyTranslation::translate(platform::BrailleKeyReport key)
{
    if (key.kind == report::kind_panning) {
        if (key.code == report::pan_up || key.code == report::pan_up_other)
            return TypedKey { 0, scan::up };
        if (key.code == report::pan_down || key.code == report::pan_down_other)
            return TypedKey { 0, scan::down };
        return std::nullopt;
    }
    if (key.kind == report::kind_character) {
        if (key.code <= 0 || key.code > 255)
            return std::nullopt;
        return TypedKey { static_cast<uint8_t>(key.code), 0 };
    }
    if (key.kind != report::kind_keys)
        return TypedKey { '?', 0 };
    if (key.code == report::keys_released)
        return release_chord();
    if (key.code == report::rocker_up || key.code == report::rocker_up_other)
        return TypedKey { 0, scan::up };
    if (key.code == report::rocker_down || key.code == report::rocker_down_other)
        return TypedKey { 0, scan::down };
    if (key.code >= 256)
        m_chord = static_cast<uint16_t>(m_chord | (key.code >> 8));
    return std::nullopt;
}

std::optional<TypedKey> KeyTranslation::release_chord()
{
    using namespace platform::braille_chord;
    uint16_t chord = m_chord;
    m_chord = 0;
    uint8_t dots = static_cast<uint8_t>(chord & six_dots);
    if (chord == 0)
        return std::nullopt;
    if (chord == dot_7)
        return TypedKey { 8, 0 };
    if (chord == dot_8)
        return TypedKey { 13, 0 };
    if (chord == (dot_7 | dot_8))
        return TypedKey { 27, 0 };
    if (chord == space)
        return TypedKey { ' ', 0 };
    if (chord & home_key)
        return TypedKey { 0, scan::home };
    if (chord & end_key)
        return TypedKey { 0, scan::end };
    // Dots 7 and 8 held with other dots have no character of their own.
    if (chord & (dot_7 | dot_8))
        return std::nullopt;
    if (chord & space)
        return dots == 0 ? std::nullopt : std::optional(TypedKey { static_cast<uint8_t>(character_of_chord(dots) & 0x1F), 0 });
    return TypedKey { character_of_chord(dots), 0 };
}

}
