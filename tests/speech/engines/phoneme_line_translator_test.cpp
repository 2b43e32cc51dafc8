// SPDX-License-Identifier: GPL-3.0-or-later
// The phoneme-line voice's translator: stress, rule matching, exceptions, liaison and golden sentences.
#include "base/text_encoding.h"
#include "speech/engines/phoneme_line_normaliser.h"
#include "speech/engines/phoneme_line_prosody.h"
#include "speech/engines/phoneme_line_translator.h"
#include "tests/support/table_lines.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using Lines = std::vector<std::string>;

std::string to_1252(std::string_view text) { return base::utf8_to_windows1252(text); }

std::string read_text(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(PhonemeLineTranslator, FindStress)
{
    const std::pair<const char*, size_t> cases[] = {
        { "lua", 2 }, { "pague", 2 }, { "aqui", 4 }, { "fui", 2 }, { "papel", 4 }, { "jardim", 5 },
        { "casa", 2 }, { "casas", 2 }, { "falam", 2 }, { "tatu", 4 }, { "cantor", 5 }, { "quase", 3 },
        { "jacaré", 6 }, { "ônibus", 1 }, { "mãe", 2 }, { "bbb", 0 }, { "", 0 }, { "rainha", 2 },
        { "guarda-chuva", 10 }, { "homem", 2 }, { "bem", 2 }, { "água", 1 },
    };
    for (auto [word, position] : cases)
        EXPECT_EQ(speech::find_stress(to_1252(word)), position) << word;
}

TEST(PhonemeLineTranslator, RuleFileFields)
{
    speech::PhonemeLineTranslator translator;
    translator.load_rules("; comment\n"
                          "A(C)E=ss|ignored\n"
                          "(B)=bb\n"
                          "no brackets at all\n");
    ASSERT_EQ(translator.bucket('C').size(), 1u);
    const auto& rule = translator.bucket('C')[0];
    EXPECT_EQ(rule.left, "A");
    EXPECT_EQ(rule.centre, "C");
    EXPECT_EQ(rule.right, "E");
    EXPECT_EQ(rule.output, "ss");
    // Without "|" the output runs to the line end.
    ASSERT_EQ(translator.bucket('B').size(), 1u);
    EXPECT_EQ(translator.bucket('B')[0].output, "bb");
    EXPECT_EQ(translator.rule_count(), 2u);

    // Fields are cut to 5 characters, outputs to 11; without "=" the output
    // is empty; loading empties the buckets first.
    translator.load_rules("LEFTSIDE(CENTRES)RIGHTSIDE=0123456789abcdefghijklmn|\n(D)xyz\n(\xE7)=s|\n");
    ASSERT_EQ(translator.bucket('C').size(), 1u);
    const auto& wide = translator.bucket('C')[0];
    EXPECT_EQ(wide.left, "LEFTS");
    EXPECT_EQ(wide.centre, "CENTR");
    EXPECT_EQ(wide.right, "RIGHT");
    EXPECT_EQ(wide.output, "0123456789a");
    ASSERT_EQ(translator.bucket('D').size(), 1u);
    EXPECT_EQ(translator.bucket('D')[0].right, "xyz");
    EXPECT_EQ(translator.bucket('D')[0].output, "");
    EXPECT_EQ(translator.bucket('B').size(), 0u);
    // Letters above 127 have buckets of their own.
    EXPECT_EQ(translator.bucket(0xE7).size(), 1u);
    EXPECT_EQ(translator.bucket(10).size(), 0u);
}

TEST(PhonemeLineTranslator, Wildcards)
{
    struct Case {
        const char* left;
        const char* centre;
        const char* right;
        std::string word;
        size_t position;
        bool matches;
    };
    const Case cases[] = {
        { "", "S", "#", "CASA", 2, true }, { "", "S", "#", "CASTA", 2, false }, { "#", "S", "", "CASA", 2, true },
        { "#", "S", "", "SAL", 0, false }, { "", "A", "%", "CASA", 3, true }, { "", "A", "%", "CASAS", 3, false },
        { "%", "C", "", "CASA", 0, true }, { "%", "A", "", "CASA", 1, false }, { "", "A", "&", "ALMA", 0, true },
        { "", "A", "&", "APTO", 0, false }, { "", "A", "*", "APTO", 0, true }, { "", "A", "*", "ALMA", 0, false },
        { "", "A", "*", "A", 0, false }, { "", "G", "+", "GENTE", 0, true }, { "", "G", "+", "GATO", 0, false },
        { "", "G", "+", to_1252("GÍRIA"), 0, true }, { "", "N", "[", "SON", 2, true },
        { "", "N", "[", "CANTO", 2, true }, { "", "N", "[", "BANHO", 2, false }, { "", "N", "[", "CANO", 2, false },
        { "", "E", "\\%", "DE", 1, true }, { "", "E", "\\%", "DES", 1, true }, { "", "E", "\\%", "DESTA", 1, false },
        { "]", "S", "", "ASA", 1, true }, { "]", "S", "", "ESA", 1, false }, { "_", "S", "", "SAL", 0, true },
        { "_", "S", "", "ASA", 1, true }, { "_", "S", "", "PSI", 1, false }, { "|", "R", "", "HONRA", 3, true },
        { "|", "R", "", "CARO", 2, false }, { "%", "R", "", "RATO", 0, true }, { "CA", "S", "A", "CASA", 2, true },
        { "CO", "S", "A", "CASA", 2, false }, { "", "LH", "", "L", 0, false },
    };
    for (const auto& test : cases) {
        speech::PhonemeRule rule { test.left, test.centre, test.right, "x" };
        EXPECT_EQ(speech::phoneme_rule_matches(rule, test.word, test.position), test.matches)
            << test.left << "(" << test.centre << ")" << test.right << " in " << test.word << " at " << test.position;
    }
}

TEST(PhonemeLineTranslator, OutputsStressExceptionsAndLiaison)
{
    speech::PhonemeLineTranslator translator;
    translator.load_rules("(AM)%=an&wn|\n(A)=a|\n(C)=k|\n(S)[=s2|\n(S)=z|\n(R)[=r2|\n(M)=m|\n(O)=o|\n(E)=e|\n(H)=|\n(B)=b|\n(L)=l|\n(Z)=z|\n(U)=u|\n(\xD3)=O|\n");
    translator.load_exceptions(to_1252("bola=bóla|\ncasa=káza\nSEM IGUAL\n"));
    // "&" and the end of an output close a phoneme; H makes nothing; the
    // stress mark goes on the first phoneme of the stressed vowel's rule.
    EXPECT_EQ(translator.translate_word("CHAMAM"), (Lines { "k", ">a", "m", "an", "wn" }));
    // An exception respells the word; a plural finds its singular.
    EXPECT_EQ(translator.translate_word("BOLAS"), (Lines { "b", ">O", "l", "a", "s2" }));
    // Function words have no stress.
    EXPECT_EQ(translator.translate_word("COM"), (Lines { "k", "o", "m" }));

    const Lines words = { "555|", "455|mar", "555|azul", "555|mas", "555|,", "555|olhe", "555|mar" };
    const Lines expected = {
        ";555|", "__", "", ";455|mar", "m", ">a", "r", "", ";555|azul", "a", "z", ">u", "l", "",
        ";555|mas", "m", ">a", "s2", "", ";555|,", "_,", ";555|olhe", ">o", "l", "e", "", ";555|mar", "m", ">a", "r2", "", "__",
    };
    EXPECT_EQ(translator.translate(words), expected);
}

// The golden sentences: the data files of the voice, and each word's
// phonemes. Each line was checked by ear against the Portuguese of Brazil.
std::string phonemes_of(std::string_view utf8_text)
{
    static const auto parts = [] {
        struct Parts {
            speech::AbbreviationTable abbreviations;
            speech::PhonemeLineTranslator translator;
            speech::PhonemeLineProsody prosody;
        } loaded;
        std::string folder = PHONEME_VOICE_DIR;
        loaded.abbreviations.load(read_text(folder + "/portug.abr"));
        loaded.translator.load_rules(read_text(folder + "/portug.nrl"));
        loaded.translator.load_exceptions(read_text(folder + "/portug.exc"));
        if (!loaded.prosody.load_prosody(read_text(folder + "/portug.pro")))
            loaded.translator.clear();
        return loaded;
    }();
    auto normalised = speech::normalise_text(to_1252(utf8_text), parts.abbreviations);
    auto lines = parts.translator.translate(parts.prosody.specify(parts.prosody.phrase_lines(normalised)));
    std::string shown;
    for (const auto& line : lines) {
        if (line.empty() || line[0] == ';' || line == "__")
            continue;
        if (!shown.empty())
            shown += ' ';
        shown += line;
    }
    // Words are separated by "/" in the table: empty lines mark their ends.
    std::string words;
    bool in_word = false;
    for (const auto& line : lines) {
        if (line.empty()) {
            if (in_word)
                words += " /";
            in_word = false;
            continue;
        }
        if (line[0] == ';' || line == "__")
            continue;
        words += ' ';
        words += line;
        in_word = true;
    }
    return words.empty() ? words : words.substr(1);
}

TEST(PhonemeLineTranslator, GoldenSentences)
{
    auto lines = test_support::read_table_lines(std::string(PHONEME_CASES_DIR) + "/phoneme_line_golden.txt");
    ASSERT_GE(lines.size(), 12u);
    for (const auto& line : lines) {
        auto arrow = line.text.find(" => ");
        ASSERT_NE(arrow, std::string::npos) << "line " << line.number;
        EXPECT_EQ(phonemes_of(line.text.substr(0, arrow)), to_1252(line.text.substr(arrow + 4)))
            << "line " << line.number << ": " << line.text;
    }
}

}
