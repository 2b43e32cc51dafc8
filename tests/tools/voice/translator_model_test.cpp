// SPDX-License-Identifier: GPL-3.0-or-later
// The translator model against the authored rules: the generator trusts it
// to know which units the rules ask for.
#include "translator_model.h"

#include "tests/interpreter/case_table.h"

#include <gtest/gtest.h>

namespace {

const voice::RuleSet& authored_rules()
{
    static const auto rules = voice::RuleSet::load(std::string(VOICE_DATA_DIR) + "/regras.rgr");
    EXPECT_TRUE(rules.has_value());
    return *rules;
}

TEST(TranslatorModel, AuthoredRulesGiveTheExpectedUnits)
{
    auto cases = test_cases::read_case_table("translation_cases.txt");
    ASSERT_FALSE(cases.empty());
    voice::ExceptionTable no_exceptions;
    for (const auto& entry : cases) {
        ASSERT_EQ(entry.fields.size(), 2u) << "line " << entry.number;
        EXPECT_EQ(voice::translate_to_phonemes(entry.fields[0], authored_rules(), no_exceptions), entry.fields[1])
            << "line " << entry.number;
    }
}

TEST(TranslatorModel, MarksTheStressedVowel)
{
    auto cases = test_cases::read_case_table("stress_cases.txt");
    ASSERT_FALSE(cases.empty());
    for (const auto& entry : cases) {
        ASSERT_EQ(entry.fields.size(), 2u) << "line " << entry.number;
        auto words = voice::prepare_words(entry.fields[0]);
        ASSERT_EQ(words.size(), 1u) << "line " << entry.number;
        std::string word = words[0].text;
        voice::mark_stress(word, words[0].explicitly_accented, words[0].vowel_count);
        EXPECT_EQ(word, entry.fields[1]) << "line " << entry.number;
    }
}

TEST(TranslatorModel, ParsesRuleLinesByTheirMarks)
{
    auto rules = voice::RuleSet::parse(";comment(X)=no|\nA(C)E=ss|tail\n(B)=b\n(D=never|\n");
    EXPECT_EQ(rules.size(), 3u); // the comment is skipped; "(D" has a centre but no ")"
    voice::ExceptionTable none;
    EXPECT_EQ(rules.apply("ace"), "[ /_A/ss/ /_E]");
    EXPECT_EQ(rules.apply("acb"), "[ /_A/ /_C/b]"); // right context E is missing
    EXPECT_EQ(rules.apply("d"), "[ /_D]");
}

TEST(TranslatorModel, ExceptionsRetryWithoutAFinalSOrM)
{
    auto table = voice::ExceptionTable::parse("pele=pe'le\r\nzebra=ze^bra|comment\nsozinho\n");
    EXPECT_EQ(table.size(), 3u);
    EXPECT_EQ(table.respell("pele"), "pe'le");
    EXPECT_EQ(table.respell("peles"), "pe'les");
    EXPECT_EQ(table.respell("zebra"), "ze^bra");
    EXPECT_EQ(table.respell("zebras"), "ze^bras");
    EXPECT_EQ(table.respell("casas"), "casas");
    // A line without "=" is a word ending in "|", which no word matches.
    EXPECT_EQ(table.respell("sozinho"), "sozinho");
}

TEST(TranslatorModel, PreparesAccentsAndGlides)
{
    EXPECT_EQ(voice::prepare_text("\xC7" "a\xE7\xE3o"), "ssassa~o");
    EXPECT_EQ(voice::prepare_text("Yara y"), "iara y");
    EXPECT_EQ(voice::prepare_text("d'\xE1gua"), "da'gua");
    EXPECT_EQ(voice::prepare_text(std::string("a\tb")), std::string("a \0 b", 5));
}

}
