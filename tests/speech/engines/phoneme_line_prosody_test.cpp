// SPDX-License-Identifier: GPL-3.0-or-later
// The phoneme-line voice's prosody: the files it reads, phrases, specifications, durations and pitch points.
#include "base/text_encoding.h"
#include "speech/engines/phoneme_line_prosody.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

std::string to_1252(std::string_view text) { return base::utf8_to_windows1252(text); }

// Durations, keys and specifications small enough to compute by hand.
const char* small_prosody = "; a small voice\n"
                            "[DURAÇÃO]\n"
                            "* durations in ms\n"
                            "a=100\n"
                            "k=80\n"
                            "s = 90\n"
                            "x=abc\n"
                            "__=150\n"
                            "_.=300\n"
                            "\n"
                            "[CHAVES]\n"
                            "o=ar\n"
                            "e=CJ\n"
                            "[PROSÓDIA]\n"
                            "hertz=200\n"
                            "TABHERTZ=0,50,60,70,80,100,110,120,130,140\n"
                            "|XX|..=268\n"
                            "|xx|?" "?=?79\n"
                            "|AR|=455\n";

class PhonemeLineProsodyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto loaded = prosody.load_prosody(to_1252(small_prosody));
        ASSERT_TRUE(loaded) << loaded.error().message;
        prosody.load_definitions("_ k\nk a\na s\ns y\n_ _\n");
    }
    speech::PhonemeLineProsody prosody;
};

TEST_F(PhonemeLineProsodyTest, ReadsTheThreeSections)
{
    EXPECT_EQ(prosody.duration_of("a"), 100);
    EXPECT_EQ(prosody.duration_of("s"), 90);
    EXPECT_EQ(prosody.duration_of("x"), 100); // not a number: warned, 100
    EXPECT_EQ(prosody.duration_of("lh"), 100); // not listed
    EXPECT_EQ(prosody.base_pitch(), 200);
    ASSERT_EQ(prosody.warnings().size(), 1u);
    EXPECT_EQ(prosody.warnings()[0], to_1252("Configuração da prosódia: fonema errado: x=abc"));
}

TEST_F(PhonemeLineProsodyTest, DurationsAndPitchPointsOfOneWord)
{
    // k: 80 × 145 % = 116 ms, points at its start (digit 2: 60 % of 200 Hz)
    // and as the stressed phoneme (digit 6: 110 %); the stress lengthens
    // to the end of the word; @ is not listed (100) and ends the word with
    // digit 8 (130 %). s-@ is not a diphone but s-y is: "y 50" comes between.
    const Lines phonemes = { ";268|CASA", ">k", "a", "s", "@", "", "__" };
    const Lines expected = {
        ";CASA", "k 116 50 120 80 220", "a 145", "s 130", "y 50", "@ 145 50 260", "", "_ 150 50 260",
    };
    EXPECT_EQ(prosody.run(phonemes, 1.0, 1.0), expected);

    // Speed 3 (× 0.6) and pitch 11 (× 2): round(80 × 145 × 0.6) / 100 =
    // 69 ms; 60 % × 2 × 200 = 240 Hz. The word's last point would come
    // before its stressed one on the same phoneme, so it goes to the end.
    // The pauses keep the word's last pitch, as the word has ended after
    // its stress.
    const Lines faster = { ";268|CASA", ">k", "", "_ 40", "_" };
    const Lines expected_faster = { ";CASA", "k 69 50 240 80 440 100 520", "", "_ 24", "_ 60 50 520" };
    EXPECT_EQ(prosody.run(faster, 0.6, 2.0), expected_faster);
}

TEST_F(PhonemeLineProsodyTest, LongWordsAreShortenedBeforeTheirStress)
{
    // Words of 10 to 13 characters with the ";": 90 %; longer: 80 %; from
    // the stressed phoneme on, no shortening. "555" selects 100 % of 200 Hz.
    prosody.load_definitions("_ a\na a\n");
    const Lines phonemes = { ";555|ABCDEFGHI", "a", ">a", "a", "", ";555|ABCDEFGHIJKLM", "a", "", ";555|ABCDEFGH", "a", "" };
    const Lines expected = {
        ";ABCDEFGHI", "a 90 50 200", "a 145 80 200", "a 145 50 200", "",
        ";ABCDEFGHIJKLM", "a 80 50 200", "",
        ";ABCDEFGH", "a 100 50 200", "",
    };
    EXPECT_EQ(prosody.run(phonemes, 1.0, 1.0), expected);
}

TEST_F(PhonemeLineProsodyTest, MarkersPausesAndTheDiphoneCheck)
{
    // "_." takes its duration from the table; a pair missing from the
    // definitions gets "_ 50" unless "previous y" exists; after r2, "_ 50"
    // when "r2 _" exists. An empty line stops the check across it.
    prosody.load_definitions("r2 _\nk y\n_ a\n_ _\n");
    const Lines phonemes = { "_.", "a", "r2", "k", "a", "", "s" };
    const Lines expected = { "_ 300", "a 100", "_ 50", "r2 100", "_ 50", "k 80", "y 50", "a 100", "", "s 90" };
    EXPECT_EQ(prosody.run(phonemes, 1.0, 1.0), expected);
}

TEST_F(PhonemeLineProsodyTest, PhrasesAndSpecifications)
{
    auto phrases = prosody.phrase_lines("o gato. sim? e... fim");
    const Lines expected_phrases = {
        "[--]", "[AR]o", "[XX]gato", "[..].", "[--]", "[XX]sim", "[??]?", "[--]", "[CJ]e", "[.-]...", "[--]", "[XX]fim",
    };
    EXPECT_EQ(phrases, expected_phrases);
    // "?79" takes the third digit of the line before: "555" gives 579.
    const Lines expected_specifications = {
        "555|", "455|o", "268|gato", "555|.", "555|", "579|sim", "555|?", "555|", "555|e", "555|...", "555|", "555|fim",
    };
    EXPECT_EQ(prosody.specify(phrases), expected_specifications);
}

TEST(PhonemeLineProsody, FileErrors)
{
    struct Case {
        const char* file;
        const char* message;
    };
    const Case cases[] = {
        { "[CHAVES]\n[PROSÓDIA]\n", "Duração dos difones errada ou ausente" },
        { "[DURAÇÃO]\na=1\n[PROSÓDIA]\n", "Prosódia: palavras chaves ausentes" },
        { "[DURAÇÃO]\n[CHAVES]\n", "Prosódia: especificações ausentes" },
        { "[DURAÇÃO]\nsem igual\n[CHAVES]\n[PROSÓDIA]\n", "Configuração da prosódia: fonema errado: sem igual" },
        { "[DURAÇÃO]\n[CHAVES]\npalavra\n[PROSÓDIA]\n", "Configuração da prosódia: chave errada: palavra" },
        { "[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\n|XX|\n", "Configuração da prosódia: chave errada: |XX|" },
    };
    for (const auto& test : cases) {
        speech::PhonemeLineProsody prosody;
        auto loaded = prosody.load_prosody(to_1252(test.file));
        ASSERT_FALSE(loaded) << test.file;
        EXPECT_EQ(loaded.error().message, to_1252(test.message)) << test.file;
    }
    speech::PhonemeLineProsody prosody;
    EXPECT_TRUE(prosody.load_prosody(to_1252("[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\n")));
}

TEST(PhonemeLineProsody, DefinitionsFile)
{
    speech::PhonemeLineProsody prosody;
    prosody.load_definitions("! header\n* comment\n; comment\na-b\n  r2 _ 123\n@\ttx\nsolo\n\n");
    EXPECT_TRUE(prosody.has_diphone("a", "b"));
    EXPECT_TRUE(prosody.has_diphone("r2", "_"));
    EXPECT_TRUE(prosody.has_diphone("@", "tx"));
    EXPECT_FALSE(prosody.has_diphone("b", "a"));
    EXPECT_FALSE(prosody.has_diphone("solo", ""));
    EXPECT_FALSE(prosody.has_diphone("header", ""));
}

}
