// SPDX-License-Identifier: GPL-3.0-or-later
// KeyTranslation: the display's key reports made into the bytes of the console's key queue.
#pragma once

#include "platform/braille_display.h"

#include <cstdint>
#include <optional>

namespace braille {

// Scan codes that follow a 0 in the key queue.
namespace scan {
constexpr uint8_t home = 71;
constexpr uint8_t up = 72;
constexpr uint8_t end = 79;
constexpr uint8_t down = 80;
}

// A key report gives a character or, when the character is 0, a scan code
// (a cursor key) to put after it.
struct TypedKey {
    uint8_t character = 0;
    uint8_t scan_code = 0;
    bool operator==(const TypedKey&) const = default;
};

// Keys of the display's braille keyboard are held down one after another
// and make one chord when they are released; the pending chord lives here
// between the reports.
class KeyTranslation {
public:
    std::optional<TypedKey> translate(platform::BrailleKeyReport report);
    uint16_t pending_chord() const { return m_chord; }

private:
    std::optional<TypedKey> release_chord();

    uint16_t m_chord = 0;
};

}
