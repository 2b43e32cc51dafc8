// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the translation of a row into Portuguese grade-1 braille text.
#include "braille/braille_translation.h"
#include "base/text_encoding.h"
#include "tests/support/table_lines.h"

#include <gtest/gtest.h>

namespace {

TEST(BrailleTranslation, FollowsTheTable)
{
    auto lines = test_support::read_table_lines(std::string(CASE_TABLE_DIR) + "/translation_cases.txt");
    ASSERT_FALSE(lines.empty()) << "translation_cases.txt is missing";
    int cases = 0;
    for (const auto& [number, line] : lines) {
        auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << "line " << number << " has no tab";
        auto row = base::utf8_to_windows1252(line.substr(0, tab));
        auto expected = base::utf8_to_windows1252(line.substr(tab + 1));
        auto translated = braille::translate_row(row).text;
        EXPECT_EQ(translated, expected) << "line " << number << ": " << line.substr(0, tab) << " gave "
                                        << base::windows1252_to_utf8(translated);
        ++cases;
    }
    EXPECT_GT(cases, 90);
}

// Each byte of the row points at the start of its own translation, so the
// caret can be shown on the right cell.
TEST(BrailleTranslation, OffsetsPointAtEachBytesTranslation)
{
    auto translation = braille::translate_row("Casa 12 `1/4");
    ASSERT_EQ(translation.text, "{casa #ab #,d");
    std::vector<size_t> expected { 0, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 12 };
    EXPECT_EQ(translation.offsets, expected);
}

TEST(BrailleTranslation, EveryByteTranslatesWithoutRunningPastTheRow)
{
    // Rows that end inside a sign, a number or an ordinal.
    for (std::string row : { "`", "(1", "1.", "1a", "`1/", "ABC", "1o", "[", "1)" }) {
        auto translation = braille::translate_row(row);
        EXPECT_EQ(translation.offsets.size(), row.size()) << row;
        EXPECT_FALSE(translation.text.empty()) << row;
    }
    std::string every_byte;
    for (int byte = 1; byte < 256; ++byte)
        every_byte += static_cast<char>(byte);
    auto translation = braille::translate_row(every_byte);
    for (size_t offset : translation.offsets)
        EXPECT_LE(offset, translation.text.size());
}

}
