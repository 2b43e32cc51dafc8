// SPDX-License-Identifier: GPL-3.0-or-later
// The phoneme-line voice's normaliser: numbers, ordinals, signs and abbreviations, from a case table.
#include "base/text_encoding.h"
#include "speech/engines/phoneme_line_normaliser.h"
#include "tests/support/table_lines.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::string read_text(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string to_1252(std::string_view text) { return base::utf8_to_windows1252(text); }

speech::AbbreviationTable voice_abbreviations()
{
    speech::AbbreviationTable table;
    table.load(read_text(std::string(PHONEME_VOICE_DIR) + "/portug.abr"));
    return table;
}

TEST(PhonemeLineNormaliser, CaseTable)
{
    auto abbreviations = voice_abbreviations();
    ASSERT_GT(abbreviations.size(), 10u);
    auto lines = test_support::read_table_lines(std::string(PHONEME_CASES_DIR) + "/phoneme_line_normaliser_cases.txt");
    ASSERT_GT(lines.size(), 30u);
    for (const auto& line : lines) {
        // A tab in the input is written as a tab in the table.
        auto arrow = line.text.find(" => [");
        ASSERT_NE(arrow, std::string::npos) << "line " << line.number;
        ASSERT_EQ(line.text.back(), ']') << "line " << line.number;
        std::string input = to_1252(line.text.substr(0, arrow));
        std::string expected = to_1252(line.text.substr(arrow + 5, line.text.size() - arrow - 6));
        EXPECT_EQ(base::windows1252_to_utf8(speech::normalise_text(input, abbreviations)), base::windows1252_to_utf8(expected))
            << "line " << line.number << ": " << line.text;
    }
}

TEST(PhonemeLineNormaliser, OrdinalsAndCardinals)
{
    using speech::OrdinalGender;
    EXPECT_EQ(speech::ordinal_words(0, OrdinalGender::Masculine), "zero");
    EXPECT_EQ(speech::ordinal_words(1999, OrdinalGender::Feminine), to_1252("milésima nongentésima nonagésima nona"));
    EXPECT_EQ(speech::ordinal_words(2024, OrdinalGender::Feminine), "dois mil e vinte e quatro");
    EXPECT_EQ(speech::cardinal_words(0), "zero");
    EXPECT_EQ(speech::cardinal_words(110), "cento e dez");
    EXPECT_EQ(speech::cardinal_words(1100), "mil e cem");
    EXPECT_EQ(speech::cardinal_words(1000), "mil ");
    // Beyond fifteen digits the words stop at the largest number.
    EXPECT_EQ(speech::cardinal_words(UINT64_MAX), speech::cardinal_words(999'999'999'999'999));
}

TEST(PhonemeLineNormaliser, CharacterNames)
{
    const std::pair<int, const char*> cases[] = {
        { 'C', " sê" }, { 'd', " dê" }, { 'W', "dábliu" }, { '0', "zéro" }, { 126, "til" }, { 32, "espaço" },
        { 161, "exclamação reversa" }, { 191, "interrogação reversa" }, { 199, "Cê cedilha" }, { 231, "Cê cedilha" },
        { 215, "vezes" }, { 220, "U com trema" }, { 252, "U com trema" }, { 127, "" }, { 128, "" }, { 160, "" },
        { 221, "" }, { 224, "" }, { 10, "" },
    };
    for (auto [code, name] : cases)
        EXPECT_EQ(speech::char_name(static_cast<uint8_t>(code)), to_1252(name)) << code;
}

TEST(PhonemeLineNormaliser, AbbreviationFile)
{
    speech::AbbreviationTable table;
    table.load(to_1252("; comentário\r\n  dr = doutor  \r\nDR=segundo\r\nsem igual\r\n=vazio\r\nÉd.=édito\r\n"));
    EXPECT_EQ(table.find("Dr"), "doutor"); // the first of two equal keys
    EXPECT_EQ(table.find(to_1252("éD.")), to_1252("édito"));
    EXPECT_EQ(table.find("sem igual"), "");
    EXPECT_EQ(table.find(""), "");
    EXPECT_EQ(table.size(), 3u);

    std::string many;
    for (int i = 0; i < 2100; ++i)
        many += "K" + std::to_string(i) + "=x\n";
    table.load(many);
    EXPECT_EQ(table.size(), speech::max_abbreviations);
    EXPECT_EQ(table.find("K1999"), "x");
    EXPECT_EQ(table.find("K2000"), "");

    table.load("LONGA=" + std::string(1200, 'a'));
    EXPECT_EQ(table.find("longa").size(), speech::max_expansion_length);
}

}
