// SPDX-License-Identifier: GPL-3.0-or-later
// BrailleDisplay: a refreshable braille display, its cells and its keys.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace platform {

// A key report of the display: an event kind and a key code.
struct BrailleKeyReport {
    int kind = 0;
    int code = 0;
    bool operator==(const BrailleKeyReport&) const = default;
};

namespace braille_report {
// Keys: the braille keyboard's keys go down one report at a time (the key's
// chord bits times 256) and `keys_released` ends the chord; the rockers
// report their own codes.
constexpr int kind_keys = 1;
constexpr int kind_panning = 3;
// A character the display's driver already made of a chord (brltty types
// with its own text table): the code is its Windows-1252 byte.
constexpr int kind_character = 4;
constexpr int keys_released = 3;
constexpr int rocker_up = 261;
constexpr int rocker_up_other = 6405;
constexpr int rocker_down = 2309;
constexpr int rocker_down_other = 4357;
constexpr int pan_up = 16;
constexpr int pan_up_other = 64;
constexpr int pan_down = 32;
constexpr int pan_down_other = 128;
}

// The chord bits of the braille keyboard's keys.
namespace braille_chord {
constexpr uint16_t six_dots = 0x3F;
constexpr uint16_t dot_7 = 1 << 6;
constexpr uint16_t dot_8 = 1 << 7;
constexpr uint16_t home_key = 1 << 8;
constexpr uint16_t end_key = 1 << 9;
constexpr uint16_t space = 1 << 15;
}

// The report that puts the keys of `chord` down.
constexpr BrailleKeyReport chord_pressed(uint16_t chord) { return { braille_report::kind_keys, chord * 256 }; }
constexpr BrailleKeyReport chord_released() { return { braille_report::kind_keys, braille_report::keys_released }; }

class BrailleDisplay {
public:
    virtual ~BrailleDisplay() = default;

    // Above 0: a display that opened with no cells is never used.
    virtual int cell_count() const = 0;
    // The display's name, a blank, the cell count and a blank and "Blue".
    virtual std::string description() const = 0;
    virtual std::string firmware_version() const = 0;

    // One dot pattern a cell from the first (bit 0 = dot 1 ... bit 7 =
    // dot 8), exactly `cell_count()` of them.
    virtual void write_cells(std::span<const uint8_t> cells) = 0;

    // From now on every key report is handed to `deliver`, possibly on a
    // thread of the backend's own: the receiver posts it into the loop.
    virtual void start_keys(std::function<void(BrailleKeyReport)> deliver) = 0;
};

// The description the display reports: the driver's name (at most 80
// characters), the cell count and "Blue".
inline std::string braille_description(std::string name, int cells)
{
    if (name.size() > 80)
        name.resize(80);
    return name + " " + std::to_string(cells) + " Blue";
}

}
