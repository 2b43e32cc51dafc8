// SPDX-License-Identifier: GPL-3.0-or-later
// SUBSTITUI against the replacement rule applied literally, and the text limit.
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using test_support::TestRuntime;

// The rule as stated: for each position p from length(t) - length(a) + 1 down
// to 1, a match of a at p is replaced by b, in the text as it is by then.
std::string substitute_literally(std::string text, const std::string& pattern, const std::string& replacement)
{
    if (pattern.size() > text.size())
        return text;
    for (size_t position = text.size() - pattern.size() + 1; position >= 1; --position) {
        if (text.compare(position - 1, pattern.size(), pattern) == 0)
            text.replace(position - 1, pattern.size(), replacement);
    }
    return text;
}

std::string random_text(std::mt19937& generator, size_t max_length)
{
    std::uniform_int_distribution<size_t> length(0, max_length);
    std::uniform_int_distribution<int> letter(0, 2);
    std::string text(length(generator), ' ');
    for (char& c : text)
        c = "aab"[letter(generator)];
    return text;
}

TEST(Substitute, AgreesWithTheLiteralRuleOnManyTexts)
{
    std::mt19937 generator(2024);
    TestRuntime test;
    for (int i = 0; i < 5000; ++i) {
        std::string text = random_text(generator, 10);
        std::string pattern = random_text(generator, 3);
        std::string replacement = random_text(generator, 4);
        test.set_variable("t", text);
        test.set_variable("p", pattern);
        test.set_variable("r", replacement);
        ASSERT_TRUE(test.execute("substitui t p r"));
        ASSERT_EQ(test.variable("t"), substitute_literally(text, pattern, replacement))
            << "text [" << text << "] pattern [" << pattern << "] replacement [" << replacement << "]";
    }
}

TEST(Substitute, StaysFastOnLongTexts)
{
    // One replacement per character of a long text: moving the rest of the
    // text on every replacement would take minutes.
    TestRuntime test;
    std::string text(2'000'000, 'x');
    test.set_variable("t", text);
    ASSERT_TRUE(test.execute("substitui t \"\" \"-\""));
    EXPECT_EQ(test.variable("t").size(), 4'000'001u);
    ASSERT_TRUE(test.execute("substitui t \"-\" \"\""));
    EXPECT_EQ(test.variable("t"), text);
}

TEST(TextLimit, ConcatenateAndSubstituteFailInsteadOfGrowingPastIt)
{
    TestRuntime test;
    test.runtime.text_limit = 8;
    test.set_variable("a", "abcd");
    EXPECT_TRUE(test.execute("concatena a a"));
    EXPECT_FALSE(test.execute("concatena a \"x\""));
    EXPECT_EQ(test.variable("a"), "abcdabcd");
    EXPECT_EQ(test.ports.console_lines(), "Texto muito longo\n");
    EXPECT_TRUE(test.execute("substitui a \"b\" \"\""));
    EXPECT_FALSE(test.execute("substitui a \"\" \"-\""));
    EXPECT_EQ(test.variable("a"), "acdacd");

    // A doubling loop ends at the limit with a failure, not with the memory.
    TestRuntime loop;
    auto outcome = loop.run({ "seja a \"x\"", "@dobra", "concatena a a", "desvia @dobra" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 3);
    EXPECT_EQ(loop.variable("a").size(), loop.runtime.text_limit);
}

}
