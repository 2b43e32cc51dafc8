// SPDX-License-Identifier: GPL-3.0-or-later
// The operand readers: what each takes from the front of the rest, and what it leaves.
#include "interpreter/argument_readers.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

namespace {

using interpreter::read_channel;
using interpreter::read_list_name;
using interpreter::read_named_variable;
using interpreter::read_target;
using interpreter::read_value;

TEST(ReadTarget, TakesOneLetterFollowedByANonWordCharacter)
{
    test_support::TestRuntime test;
    std::string_view rest = "  x  rest ";
    EXPECT_EQ(read_target(test.runtime, rest), 88);
    EXPECT_EQ(rest, "rest");

    rest = "x";
    EXPECT_EQ(read_target(test.runtime, rest), 88);
    EXPECT_EQ(rest, "");

    rest = "x_";
    EXPECT_EQ(read_target(test.runtime, rest), 88);
    EXPECT_EQ(rest, "_");

    rest = "X=1";
    EXPECT_EQ(read_target(test.runtime, rest), 88);
    EXPECT_EQ(rest, "=1");

    for (std::string_view bad : { "x1", "xy", "", "   ", "1", "_", "\xE9", "\"a\"", "#1" }) {
        rest = bad;
        EXPECT_FALSE(read_target(test.runtime, rest)) << bad;
    }
}

TEST(ReadTarget, NamedVariablesTakeTheFollowingSlotsInOrderOfFirstUse)
{
    test_support::TestRuntime test;
    std::string_view rest = "$Primeiro resto";
    EXPECT_EQ(read_target(test.runtime, rest), 91);
    EXPECT_EQ(rest, "resto");
    rest = "$segundo_2";
    EXPECT_EQ(read_target(test.runtime, rest), 92);
    // Any mix of case names the same variable.
    rest = "$PRIMEIRO";
    EXPECT_EQ(read_target(test.runtime, rest), 91);
    rest = "$primeiro";
    EXPECT_EQ(read_named_variable(test.runtime, rest), 91);
    rest = "$SEGUNDO_2";
    EXPECT_EQ(read_target(test.runtime, rest), 92);
    // A name stops at the first character that is not a letter, digit or "_".
    rest = "$primeiro.x";
    EXPECT_EQ(read_target(test.runtime, rest), 91);
    EXPECT_EQ(rest, ".x");

    for (std::string_view bad : { "$", "$ x", "$.", "$\xE9" }) {
        rest = bad;
        EXPECT_FALSE(read_target(test.runtime, rest)) << bad;
    }
}

TEST(ReadTarget, ReadingANameOnlyToReadItsValueRegistersIt)
{
    test_support::TestRuntime test;
    std::string value = "junk";
    std::string_view rest = "$nunca";
    ASSERT_TRUE(read_value(test.runtime, rest, value));
    EXPECT_EQ(value, "");
    rest = "$outro";
    EXPECT_EQ(read_target(test.runtime, rest), 92);
}

TEST(ReadValue, ReadsLiteralsVariablesAndExpressions)
{
    test_support::TestRuntime test;
    test.set_variable("a", "texto");
    test.set_variable("$nome", "\"a\"");
    std::string value;
    struct Case {
        std::string_view input;
        std::string_view value;
        std::string_view rest;
    };
    const Case cases[] = {
        { "007", "007", "" },
        { "  12.5 x", "12", ".5 x" },
        { "12abc", "12", "abc" },
        { "-x", "-", "x" },
        { "-", "-", "" },
        { "-12-3", "-12", "-3" },
        { "\"a\"\"b\"", "a\"b", "" },
        { "\"\" resto", "", "resto" },
        { "\"sem fim", "sem fim", "" },
        { "\"a\"b", "a", "b" },
        { "\"\"\"\"", "\"", "" },
        { "abc", "texto", "bc" },
        { "A", "texto", "" },
        { "$NOME resto", "\"a\"", "resto" },
        { "$nome \t  resto \t ", "\"a\"", "resto" },
        { "$nome \t ", "\"a\"", "" },
        { "(1+2) x", "3", "x" },
        { "( 2 * 3 )", "6", "" },
    };
    for (const auto& c : cases) {
        std::string_view rest = c.input;
        ASSERT_TRUE(read_value(test.runtime, rest, value)) << c.input;
        EXPECT_EQ(value, c.value) << c.input;
        EXPECT_EQ(rest, c.rest) << c.input;
        // The reader that avoids the copy must read the same.
        std::string scratch;
        std::string_view view;
        rest = c.input;
        ASSERT_TRUE(interpreter::read_value_view(test.runtime, rest, scratch, view)) << c.input;
        EXPECT_EQ(view, c.value) << c.input;
        EXPECT_EQ(rest, c.rest) << c.input;
    }
    for (std::string_view bad : { "", "  ", "+1", "#1", "[x]", "(", "(1", "(1 x", "()", ")", "$", "\xE9", "_a" }) {
        std::string_view rest = bad;
        EXPECT_FALSE(read_value(test.runtime, rest, value)) << bad;
    }
}

// The number reader converts in place what read_value would copy: the two
// must agree on the value, on failure and on what is left.
TEST(ReadNumberValue, AgreesWithReadingTheValueAndConvertingIt)
{
    test_support::TestRuntime test;
    test.set_variable("x", "42");
    test.set_variable("$n", "-7");
    test.set_variable("$t", "abc");
    ASSERT_TRUE(test.execute("seja $k 41"));
    ASSERT_TRUE(test.execute("soma $k 1")); // $k now knows its number
    for (std::string_view text : { "0", "7", "7 resto", "007 x", "123456789", "123456789 y", "1234567890",
             "2147483647", "2147483648", "99999999999 z", "-5", "-0", "- 5", "x", "x y", "$n", "$n 1", "$k", "$k  2",
             "$t", "\"12\"", "\"12\" q", "(3*4)", "(3*4) r", "12abc", "5-", "$", "#", "abc" }) {
        std::string_view by_reader = text;
        auto number = interpreter::read_trimmed_number_value(test.runtime, by_reader);
        std::string_view by_value = text;
        std::string value;
        std::optional<int32_t> expected;
        if (read_value(test.runtime, by_value, value))
            expected = interpreter::parse_number(value);
        EXPECT_EQ(number, expected) << text;
        if (expected) {
            EXPECT_EQ(by_reader, by_value) << text;
        }
    }
    // Names read from stored lines are remembered by their place after the
    // first read; the second read takes the inline way and must agree.
    test.set_variable("$soma_total", "12");
    std::vector<std::string> stored = { "$k", "$k 2", "$n", "$n  x", "$t", "$soma_total", "$soma_total 3", "$novo",
        "$k$n" };
    for (size_t i = 0; i < stored.size(); ++i)
        test.runtime.store.store_line(stored[i], static_cast<int>(i) + 1);
    for (size_t i = 0; i < stored.size(); ++i) {
        std::string_view line = test.runtime.store.statement(static_cast<int>(i) + 1);
        std::string_view by_value = line;
        std::string value;
        std::optional<int32_t> expected;
        if (read_value(test.runtime, by_value, value))
            expected = interpreter::parse_number(value);
        for (int turn = 0; turn < 2; ++turn) {
            std::string_view by_reader = line;
            auto number = interpreter::read_trimmed_number_value(test.runtime, by_reader);
            EXPECT_EQ(number, expected) << stored[i] << " turn " << turn;
            if (expected) {
                EXPECT_EQ(by_reader, by_value) << stored[i] << " turn " << turn;
            }
        }
    }
}

// The view reader sees in place what read_value copies: the same value and
// the same rest, for every kind of value and its edges.
TEST(ReadValueView, AgreesWithTheCopyingReader)
{
    test_support::TestRuntime test;
    test.set_variable("x", "42");
    test.set_variable("$n", "-7");
    ASSERT_TRUE(test.execute("seja $k 41"));
    ASSERT_TRUE(test.execute("soma $k 1"));
    for (std::string_view text : { "0", "7 resto", "-5 x", "123456789012", "\"par\"", "\"par\"  resto", "\"\"",
             "\"\" x", "\"ab\"\"c\" d", "\"a\"\"\"", "\"aberto", "\"", "\"x\"y", "x", "x y", "$n", "$n  1", "$k",
             "$", "$ x", "(1+2) r", "(1+", "?", "#3", "[lista]" }) {
        std::string_view by_view = text;
        std::string scratch;
        std::string_view seen;
        bool viewed = interpreter::read_trimmed_value_view(test.runtime, by_view, scratch, seen);
        std::string_view by_copy = text;
        std::string copied;
        bool read = read_value(test.runtime, by_copy, copied);
        ASSERT_EQ(viewed, read) << text;
        if (read) {
            EXPECT_EQ(seen, copied) << text;
            EXPECT_EQ(by_view, by_copy) << text;
        }
    }
}

TEST(ReadChannel, TakesHashAndOneDigitFollowedByASpaceOrTheEnd)
{
    std::string_view rest = " #3  texto";
    EXPECT_EQ(read_channel(rest), 3);
    EXPECT_EQ(rest, "texto");
    rest = "#0";
    EXPECT_EQ(read_channel(rest), 0);
    EXPECT_EQ(rest, "");
    for (std::string_view bad : { "#", "#a", "#12", "#1a", "#1,", "1", "", "# 1" }) {
        rest = bad;
        EXPECT_FALSE(read_channel(rest)) << bad;
    }
}

TEST(ReadListName, TakesTheBracketedNameAndLeavesTheRestUntrimmed)
{
    std::string_view rest = "  [nomes] cria";
    EXPECT_EQ(read_list_name(rest), "nomes");
    EXPECT_EQ(rest, " cria");
    // A "]" right after "[" belongs to the name.
    rest = "[]x] y";
    EXPECT_EQ(read_list_name(rest), "]x");
    EXPECT_EQ(rest, " y");
    rest = "[a]]";
    EXPECT_EQ(read_list_name(rest), "a");
    EXPECT_EQ(rest, "]");
    rest = "[ a b ]";
    EXPECT_EQ(read_list_name(rest), " a b ");
    for (std::string_view bad : { "[", "[]", "[abc", "nomes]", "", "x[a]" }) {
        rest = bad;
        EXPECT_FALSE(read_list_name(rest)) << bad;
    }
}

TEST(TrailingAmpersand, RemovesOneAndTrimsAgain)
{
    std::string_view rest = "\"a\"  &";
    EXPECT_TRUE(interpreter::take_trailing_ampersand(rest));
    EXPECT_EQ(rest, "\"a\"");
    rest = "&&";
    EXPECT_TRUE(interpreter::take_trailing_ampersand(rest));
    EXPECT_EQ(rest, "&");
    rest = "a";
    EXPECT_FALSE(interpreter::take_trailing_ampersand(rest));
    EXPECT_EQ(rest, "a");
}

TEST(UpperText, MovesLettersAndTheHighBytesDown)
{
    EXPECT_EQ(interpreter::upper_text("abc XYZ 09 \xEA\xE3\xED\xE7\xE0\xFF\xF7"), "ABC XYZ 09 \xCA\xC3\xCD\xC7\xC0\xDF\xD7");
    // Bytes below 224 other than a..z stay.
    EXPECT_EQ(interpreter::upper_text("\x9A\xB5\xDF{}"), "\x9A\xB5\xDF{}");
}

}
