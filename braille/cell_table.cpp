// SPDX-License-Identifier: GPL-3.0-or-later
// The cell table (translated byte to dot pattern) and the chord table (dot pattern to character).
#include "braille/cell_table.h"

#include <array>

namespace braille {

namespace {

// The Portuguese cells, indexed by the dot bits. The letters are the
// standard ones; the accented letters, punctuation and signs are what the
// translation writes and what a chord on the display's keyboard types.
constexpr std::array<uint8_t, 64> chord_characters {
    ' ', 'a', ',', 'b', '.', 'k', ';', 'l', '^', 'c', 'i', 'f', 0xED, 'm', 's', 'p',
    '~', 'e', ':', 'h', '*', 'o', '!', 'r', 0xAC, 'd', 'j', 'g', 0xE3, 'n', 't', 'q',
    0xFD, 0xE2, '?', 0xEA, '-', 'u', '"', 'v', '{', 0xEE, 0xF5, 0xE0, 0xF3, 'x', 0xE8, 0xE7,
    '$', '@', 0xFF, 0xFC, '}', 'z', '=', 0xE1, '_', 0xF4, 'w', 0xEF, '#', 'y', 0xFA, 0xE9,
};

// The North American Braille ASCII code for characters 32 to 95; 96 to 127
// give the cells of 64 to 95.
constexpr std::array<uint8_t, 64> north_american_cells {
    0x00, 0x2E, 0x10, 0x3C, 0x2B, 0x29, 0x2F, 0x04, 0x37, 0x3E, 0x21, 0x2C, 0x20, 0x24, 0x28, 0x0C,
    0x34, 0x02, 0x06, 0x12, 0x32, 0x22, 0x16, 0x36, 0x26, 0x14, 0x31, 0x30, 0x23, 0x3F, 0x1C, 0x39,
    0x08, 0x01, 0x03, 0x09, 0x19, 0x11, 0x0B, 0x1B, 0x13, 0x0A, 0x1A, 0x05, 0x07, 0x0D, 0x1D, 0x15,
    0x0F, 0x1F, 0x17, 0x0E, 0x1E, 0x25, 0x27, 0x3A, 0x2D, 0x3D, 0x35, 0x2A, 0x33, 0x3B, 0x18, 0x38,
};

// Signs the translation writes that no chord types: the multiplication and
// division signs, the degree sign, the superscript sign and the euro sign.
struct ExtraCell {
    uint8_t byte;
    uint8_t dots;
};
constexpr std::array<ExtraCell, 7> extra_cells { {
    { '(', 0x23 }, // 1-2-6
    { ')', 0x1C }, // 3-4-5
    { '/', 0x32 }, // 2-5-6
    { 0xD7, 0x26 }, // ×: 2-3-6
    { 0xF7, 0x32 }, // ÷: 2-5-6
    { 0xB0, 0x34 }, // °: 3-5-6
    { 0xE5, 0x21 }, // å, the superscript sign: 1-6
} };

constexpr uint8_t euro_sign = 0x80;

constexpr std::array<uint8_t, 256> build_cell_table()
{
    std::array<uint8_t, 256> cells {};
    for (int byte = 32; byte < 128; ++byte)
        cells[static_cast<size_t>(byte)] = north_american_cells[static_cast<size_t>(byte < 96 ? byte - 32 : byte - 64)];
    cells[euro_sign] = 0x18; // 4-5
    for (auto extra : extra_cells)
        cells[extra.byte] = extra.dots;
    for (size_t dots = 0; dots < chord_characters.size(); ++dots)
        cells[chord_characters[dots]] = static_cast<uint8_t>(dots);
    // Capitals have the cells of their small letters (the capital sign is
    // written before them by the translation).
    for (int byte = 'A'; byte <= 'Z'; ++byte)
        cells[static_cast<size_t>(byte)] = cells[static_cast<size_t>(byte + 32)];
    for (int byte = 0xC0; byte <= 0xDE; ++byte) {
        if (byte != 0xD7)
            cells[static_cast<size_t>(byte)] = cells[static_cast<size_t>(byte + 32)];
    }
    return cells;
}

constexpr std::array<uint8_t, 256> cell_table = build_cell_table();

}

uint8_t cell_of(uint8_t byte)
{
    return cell_table[byte];
}

uint8_t character_of_chord(uint8_t dots)
{
    return chord_characters[dots & 0x3F];
}

std::vector<uint8_t> cells_of_text(std::string_view translated, int cell_count)
{
    if (cell_count <= 0)
        return {};
    std::vector<uint8_t> cells(static_cast<size_t>(cell_count), 0);
    size_t shown = std::min(translated.size(), cells.size());
    for (size_t index = 0; index < shown; ++index)
        cells[index] = cell_of(static_cast<uint8_t>(translated[index]));
    return cells;
}

}
