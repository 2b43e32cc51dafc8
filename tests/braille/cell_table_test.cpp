// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the cell table, the chord table and the cells a display shows for a row.
#include "braille/braille_output.h"
#include "braille/cell_table.h"
#include "base/text_encoding.h"
#include "platform/headless/recording_braille_display.h"
#include "tests/support/table_lines.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

uint8_t dots_of(const std::string& list)
{
    if (list == "-")
        return 0;
    uint8_t dots = 0;
    std::istringstream numbers(list);
    std::string number;
    while (std::getline(numbers, number, '-'))
        dots |= braille::dot(std::stoi(number));
    return dots;
}

TEST(CellTable, FollowsTheTable)
{
    auto lines = test_support::read_table_lines(std::string(CASE_TABLE_DIR) + "/cell_cases.txt");
    ASSERT_FALSE(lines.empty()) << "cell_cases.txt is missing";
    int cases = 0;
    for (const auto& [number, line] : lines) {
        auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << "line " << number << " has no tab";
        auto field = line.substr(0, tab);
        auto byte = field.starts_with("0x") ? static_cast<uint8_t>(std::stoi(field.substr(2), nullptr, 16))
                                            : static_cast<uint8_t>(base::utf8_to_windows1252(field).at(0));
        EXPECT_EQ(braille::cell_of(byte), dots_of(line.substr(tab + 1))) << "line " << number << ": " << field;
        ++cases;
    }
    EXPECT_GT(cases, 40);
}

// The chord table names each of the 64 patterns once, and a chord types the
// character whose cell is that chord.
TEST(CellTable, ChordsAndCellsAgree)
{
    std::set<uint8_t> characters;
    for (int dots = 0; dots < 64; ++dots) {
        uint8_t character = braille::character_of_chord(static_cast<uint8_t>(dots));
        characters.insert(character);
        EXPECT_EQ(braille::cell_of(character), dots) << "chord " << dots;
    }
    EXPECT_EQ(characters.size(), 64u);
    struct Chord {
        int dots;
        uint8_t character;
    };
    for (auto [dots, character] : { Chord { 1, 'a' }, Chord { 3, 'b' }, Chord { 9, 'c' }, Chord { 47, 0xE7 },
             Chord { 63, 0xE9 }, Chord { 4, '.' }, Chord { 49, '@' }, Chord { 24, 0xAC }, Chord { 0, ' ' } })
        EXPECT_EQ(braille::character_of_chord(static_cast<uint8_t>(dots)), character) << dots;
}

TEST(CellTable, NoCellHasMoreThanSixDots)
{
    for (int byte = 0; byte < 256; ++byte)
        EXPECT_EQ(braille::cell_of(static_cast<uint8_t>(byte)) & 0xC0, 0) << byte;
}

TEST(BrailleOutput, ShortRowsArePaddedAndLongRowsCut)
{
    auto cells = braille::cells_of_row("Casa 12", 12, -1);
    std::vector<uint8_t> expected { dots_of("4-6"), dots_of("1-4"), dots_of("1"), dots_of("2-3-4"), dots_of("1"), 0,
        dots_of("3-4-5-6"), dots_of("1"), dots_of("1-2"), 0, 0, 0 };
    EXPECT_EQ(cells, expected);
    std::string long_row(80, 'a');
    cells = braille::cells_of_row(long_row, 40, -1);
    EXPECT_EQ(cells, std::vector<uint8_t>(40, dots_of("1")));
    EXPECT_TRUE(braille::cells_of_row("abc", 0, 0).empty());
}

TEST(BrailleOutput, CaretAddsDotsSevenAndEightToItsCell)
{
    // The caret on the "1" of "Casa 12" is on the number sign's cell.
    auto cells = braille::cells_of_row("Casa 12", 12, 5);
    EXPECT_EQ(cells[6], dots_of("3-4-5-6") | braille::cursor_dots);
    int marked = 0;
    for (auto cell : cells)
        marked += (cell & braille::cursor_dots) != 0;
    EXPECT_EQ(marked, 1);
    // Past the translated text (in the padding) or past the display: no mark.
    cells = braille::cells_of_row("Casa", 12, 50);
    EXPECT_EQ(cells[5], 0);
    cells = braille::cells_of_row(std::string(80, 'a'), 20, 30);
    for (auto cell : cells)
        EXPECT_EQ(cell & braille::cursor_dots, 0);
}

TEST(BrailleOutput, WritesAChangedRowOnce)
{
    platform::RecordingBrailleDisplay display(8);
    braille::BrailleOutput output(display);
    output.show_row("ab", 0);
    output.show_row("ab", 0);
    output.show_row("ab", 1);
    output.show_row("b", -1);
    ASSERT_EQ(display.rows().size(), 3u);
    EXPECT_EQ(display.rows()[0][0], dots_of("1-7-8"));
    EXPECT_EQ(display.rows()[1][1], dots_of("1-2-7-8"));
    EXPECT_EQ(display.rows()[2], std::vector<uint8_t>({ dots_of("1-2"), 0, 0, 0, 0, 0, 0, 0 }));
}

}
