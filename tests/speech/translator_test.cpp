// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in translator: rules file, wildcards, exceptions, prepare_text, stress and spelling.
#include "speech/builtin_translator.h"
#include "speech/exception_table.h"
#include "speech/letter_classes.h"
#include "speech/translation_rules.h"
#include "tests/interpreter/case_table.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

speech::TranslationRule rule(std::string left, std::string centre, std::string right)
{
    return { std::move(left), std::move(centre), std::move(right), "x" };
}

TEST(TranslationRules, FileFormat)
{
    speech::TranslationRules rules;
    rules.load("; a comment\r\n"
               "A(C)E=ss|after the bar\r\n"
               "(CH)= x|\n"
               "(LH)=lhlhlhlhlhlhlh|\n"
               "(NH)= nh\n"
               "no brackets at all\n"
               "(a)=lower-case centre|\n"
               "(\xE7)=beyond the buckets|\n");
    const auto& c = rules.bucket('C');
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].left, "A");
    EXPECT_EQ(c[0].centre, "C");
    EXPECT_EQ(c[0].right, "E");
    EXPECT_EQ(c[0].output, "ss");
    EXPECT_EQ(c[1].output, " x");
    EXPECT_EQ(rules.bucket('L')[0].output, "lhlhlhlhlhl"); // cut to 11
    EXPECT_EQ(rules.bucket('N')[0].output, " nh"); // runs to the line end
    EXPECT_TRUE(rules.bucket('a').empty()); // outside 32..95
    EXPECT_EQ(rules.size(), 4u);
    rules.load("(B)=b|");
    EXPECT_TRUE(rules.bucket('C').empty()); // a load empties every bucket
}

TEST(TranslationRules, Wildcards)
{
    struct Case {
        speech::TranslationRule rule;
        std::string word;
        size_t position;
        bool matches;
    };
    const Case cases[] = {
        { rule("", "C", "#"), "cae", 0, true },
        { rule("", "C", "#"), "ct", 0, false },
        { rule("", "C", "#T"), "ca'et", 0, true }, // vowels and marks, then T
        { rule("#", "C", ""), "aec", 2, true },
        { rule("", "S", "%"), "as", 1, true },
        { rule("", "S", "%"), "asa", 1, false },
        { rule("%", "S", ""), "sa", 0, true },
        { rule("%", "S", ""), "as", 1, false },
        { rule("", "A", "&"), "am", 0, true },
        { rule("", "A", "&"), "at", 0, false },
        { rule("", "A", "*"), "at", 0, true },
        { rule("", "A", "*"), "ar", 0, false },
        { rule("", "A", "*T"), "at", 0, true }, // "*" does not move
        { rule("", "G", "+"), "ge", 0, true },
        { rule("", "G", "+M"), "ge'm", 0, true }, // past one mark
        { rule("", "G", "+"), "ga", 0, false },
        { rule("", "M", "["), "am", 1, true }, // at the end
        { rule("", "M", "["), "amp", 1, true },
        { rule("", "M", "["), "amh", 1, false },
        { rule("", "A", "\\%"), "as", 0, true },
        { rule("", "A", "\\%"), "a", 0, true },
        { rule("]", "M", ""), "om", 1, true },
        { rule("]", "M", ""), "a~m", 2, true },
        { rule("]", "M", ""), "em", 1, false },
        { rule("]", "M", ""), "m", 0, false }, // fails at the edge
        { rule("_", "S", ""), "s", 0, true },
        { rule("_", "S", ""), "asa", 1, true },
        { rule("_", "S", ""), "a'sa", 2, true },
        { rule("_", "S", ""), "tsa", 1, false },
        { rule("|", "S", ""), "nsa", 1, true },
        { rule("|", "S", ""), "tsa", 1, false },
        { rule("A", "C", "E"), "ace", 1, true },
        { rule("A", "C", "E"), "oce", 1, false },
        { rule("", "CH", ""), "ch", 0, true },
        { rule("", "CH", ""), "c", 0, false }, // the centre must be inside the word
        { rule("", "A", ""), "A", 0, true }, // stressed letters compare upper-cased
    };
    for (const auto& test : cases) {
        EXPECT_EQ(speech::rule_matches(test.rule, test.word, test.position), test.matches)
            << "'" << test.rule.left << "(" << test.rule.centre << ")" << test.rule.right << "' on '" << test.word << "' at " << test.position;
    }
}

TEST(TranslationRules, ApplyTakesTheFirstMatchAndCarriesTheStress)
{
    speech::TranslationRules rules;
    rules.load("(PA)= pa|\n(TA)= ta|\n");
    EXPECT_EQ(rules.apply("pata"), "[ pa/ ta]");
    rules.load("(A)%=o|\n(A)=a|\n(T)= t|\n");
    EXPECT_EQ(rules.apply("tAta"), "[ t/A/ t/o]");
    EXPECT_EQ(rules.apply("tatA"), "[ t/a/ t/O]");
    EXPECT_EQ(rules.apply("xa"), "[ /_X/o]"); // no rule for x: the letter's recording
}

TEST(ExceptionTable, LookupAndSuffixRetry)
{
    speech::ExceptionTable table;
    table.load("voce^=voce^|\r\n"
               "casa=kaza|comment\n"
               "\n"
               "zebra=ze^bra\n"
               "sem-igual\n"
               "abacate=abakAte|\n");
    EXPECT_EQ(table.size(), 5u);
    EXPECT_EQ(table.find("casa").value(), "kaza");
    EXPECT_EQ(table.find("zebra").value(), "ze^bra");
    EXPECT_EQ(table.find("sem-igual|").value(), "");
    EXPECT_FALSE(table.find("sem-igual").has_value());
    EXPECT_EQ(table.pronounce("casas"), "kazas");
    EXPECT_EQ(table.pronounce("casam"), "kazam");
    EXPECT_EQ(table.pronounce("voce^s"), "voce^s");
    EXPECT_EQ(table.pronounce("mesa"), "mesa");
    EXPECT_EQ(table.pronounce("abacates"), "abakAtes");
}

// Entries point into the table's own copy of the text: the table must read
// the same after the text it was given is gone and after it is copied or
// moved, including the words it made for lines without "=" and an input
// out of order.
TEST(ExceptionTable, KeepsItsEntriesThroughCopiesAndUnsortedInput)
{
    speech::ExceptionTable copied;
    {
        std::string text = "zulu=zu\nsolto\nalfa=awfa|x\nmeio=mEio\noutro solto\n";
        speech::ExceptionTable table;
        table.load(text);
        text.assign(text.size(), '#');
        copied = table;
        speech::ExceptionTable moved = std::move(table);
        EXPECT_EQ(moved.find("meio").value(), "mEio");
    }
    EXPECT_EQ(copied.size(), 5u);
    EXPECT_EQ(copied.find("alfa").value(), "awfa");
    EXPECT_EQ(copied.find("zulu").value(), "zu");
    EXPECT_EQ(copied.find("solto|").value(), "");
    EXPECT_EQ(copied.find("outro solto|").value(), "");
    EXPECT_FALSE(copied.find("solto").has_value());
    EXPECT_EQ(copied.pronounce("meios"), "mEios");
    // Reloading forgets the earlier entries.
    copied.load("beta=bEta\n");
    EXPECT_EQ(copied.size(), 1u);
    EXPECT_FALSE(copied.find("alfa").has_value());
    EXPECT_EQ(copied.find("beta").value(), "bEta");
}

TEST(ExceptionTable, ReadsAtMostTheLimit)
{
    std::string text;
    for (int i = 0; i < 15010; ++i)
        text += "w" + std::to_string(100000 + i) + "=x\n";
    speech::ExceptionTable table;
    table.load(text);
    EXPECT_EQ(table.size(), speech::max_exceptions);
    EXPECT_TRUE(table.find("w114999").has_value());
    EXPECT_FALSE(table.find("w115000").has_value());
}

TEST(PrepareText, Mappings)
{
    EXPECT_EQ(speech::prepare_text("a\xE7\xE3o"), "assa~o");
    EXPECT_EQ(speech::prepare_text("\xC7" "A"), "ssA");
    EXPECT_EQ(speech::prepare_text("Yara"), "iara");
    EXPECT_EQ(speech::prepare_text(" Y "), " Y ");
    EXPECT_EQ(speech::prepare_text("Wagner"), "uagner");
    EXPECT_EQ(speech::prepare_text("d'\xE1gua"), "da'gua");
    EXPECT_EQ(speech::prepare_text("\xC1\xE9\xEA\xF4\xFC\xF1"), "a'e'e^o^unh");
    EXPECT_EQ(speech::prepare_text("x\ty"), "x \0 y"s);
    EXPECT_EQ(speech::prepare_text("\x87\x81\x82\x83\xA4"), "ssu\"e'a^nh"); // code page 850
    EXPECT_EQ(speech::prepare_text("\x9B"), " \0 "s); // no mapping
    EXPECT_EQ(speech::prepare_text("\xDF\xD7"), "x");
}

TEST(MarkStress, TableOfWords)
{
    auto cases = test_cases::read_case_table("stress_cases.txt");
    ASSERT_GT(cases.size(), 20u);
    for (const auto& line : cases) {
        ASSERT_EQ(line.fields.size(), 2u) << "line " << line.number;
        auto words = speech::prepare_words(line.fields[0]);
        ASSERT_EQ(words.size(), 1u) << "line " << line.number;
        std::string word = words[0].text;
        speech::mark_stress(word, words[0].explicitly_accented, words[0].vowel_count);
        EXPECT_EQ(word, line.fields[1]) << "line " << line.number;
    }
}

TEST(PrepareWords, CutsWordsAndCountsWhatDecidesTheStress)
{
    // An accented letter becomes a letter and a mark inside its word; a
    // diaeresis (here code page 850's) is no explicit accent; a mark that
    // opens a word is a word of its own, and so is every other character
    // but the blank.
    auto words = speech::prepare_words("Ol\xE1, Ping\x81im 'x\x09" "CPF");
    std::vector<std::string> texts;
    for (const auto& word : words)
        texts.push_back(word.text);
    EXPECT_EQ(texts, (std::vector<std::string> { "ola'", ",", "pingu\"im", "'", "x", "\0"s, "cpf" }));
    ASSERT_EQ(words.size(), 7u);
    EXPECT_TRUE(words[0].explicitly_accented);
    EXPECT_EQ(words[0].vowel_count, 2);
    EXPECT_FALSE(words[2].explicitly_accented);
    EXPECT_EQ(words[2].vowel_count, 3);
    EXPECT_FALSE(words[6].explicitly_accented);
    EXPECT_EQ(words[6].vowel_count, 0);
    EXPECT_EQ(speech::prepare_words(" \r\n ").size(), 2u); // each control is a word break of its own
    EXPECT_TRUE(speech::prepare_words("   ").empty());
}

TEST(Translate, WordsExceptionsAndSpelling)
{
    speech::TranslationRules rules;
    rules.load("(A)=a|\n(S)= s|\n(K)= k|\n(Z)= z|\n(E')=E|\n(J)= j|\n(C)= k|\n(R)= r|\n");
    speech::ExceptionTable exceptions;
    exceptions.load("casa=kaza|\n");
    // The exception's pronunciation, its stress, then the rules.
    EXPECT_EQ(speech::translate_to_phonemes("casas", rules, exceptions), "[ k/A/ z/a/ s]");
    // Consonants only: spelled unit by unit.
    EXPECT_EQ(speech::translate_to_phonemes("CPF", rules, exceptions), "[ /_c][ /_p][ /_f]");
    // An accented word keeps the stress its rules write.
    EXPECT_EQ(speech::translate_to_phonemes("jacar\xE9", rules, exceptions), "[ j/a/ k/a/ r/E]");
    // Words are translated one after another, without separators.
    EXPECT_EQ(speech::translate_to_phonemes("casa, sr", rules, exceptions), "[ k/A/ z/a][ /_,][ /_s][ /_r]");
    std::string by_word;
    for (const auto& word : speech::prepare_words("casa, sr"))
        by_word += speech::translate_word(word, rules, exceptions);
    EXPECT_EQ(by_word, "[ k/A/ z/a][ /_,][ /_s][ /_r]");
}

}
