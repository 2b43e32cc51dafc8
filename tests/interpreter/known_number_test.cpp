// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers variables remember for the arithmetic: a remembered number must
// always be what the slot's text reads as, whatever wrote the text last.
#include "interpreter/number.h"
#include "interpreter/variables.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

// Every slot that knows a number holds exactly that number's text.
void expect_known_numbers_match_texts(const interpreter::Variables& variables, const std::string& after)
{
    for (int slot = 0; slot < interpreter::slot_count; ++slot) {
        int32_t known = 0;
        if (variables.known_number(slot, known)) {
            ASSERT_EQ(variables.text(slot), interpreter::format_number(known)) << "slot " << slot << " after " << after;
        }
    }
}

TEST(KnownNumber, ReadsBackAsEveryReaderWouldReadTheText)
{
    std::vector<int32_t> values = { std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min() + 1,
        -1000000000, -999999999, -10, -1, 0, 1, 9, 10, 99, 100, 999999999, 1000000000, std::numeric_limits<int32_t>::max() };
    std::mt19937 generator(7);
    for (int i = 0; i < 2000; ++i)
        values.push_back(static_cast<int32_t>(generator()));
    for (int32_t value : values) {
        std::string text = interpreter::format_number(value);
        EXPECT_EQ(interpreter::parse_number(text), value) << text;
        size_t start = 99;
        EXPECT_EQ(interpreter::trailing_number(text, start), value) << text;
        EXPECT_EQ(start, 0u) << text;
    }
}

TEST(KnownNumber, EveryWriteOfTextForgetsTheNumber)
{
    test_support::TestRuntime test;
    // Each pair: arithmetic makes the slot know its number, then a
    // statement that is not arithmetic rewrites the text.
    const char* rewrites[] = { "seja a \"x\"", "concatena a \"7\"", "copia a a 1 1", "deleta a 1 1",
        "substitui a \"1\" \"2\"", "seja a b" };
    for (const char* rewrite : rewrites) {
        ASSERT_TRUE(test.execute("seja b \"q\""));
        ASSERT_TRUE(test.execute("seja a 10"));
        ASSERT_TRUE(test.execute("soma a 1"));
        test.execute(rewrite);
        expect_known_numbers_match_texts(test.runtime.variables, rewrite);
        ASSERT_TRUE(test.execute("soma a 1")) << rewrite;
        expect_known_numbers_match_texts(test.runtime.variables, rewrite);
    }
}

TEST(KnownNumber, ArithmeticAfterATextChangeCountsFromTheText)
{
    test_support::TestRuntime test;
    test.run({ "seja a 5", "soma a 1", "concatena a \"9\"", "soma a 1", "escreve a" });
    EXPECT_EQ(test.ports.console_lines(), "70\n");

    // A counter lengthened inside its loop goes on from what it reads.
    test.run({ "repete i 3", "concatena i \"0\"", "fim repete", "escreve i" });
    EXPECT_EQ(test.ports.console_lines(), "70\n11\n");

    test.run({ "seja $x (7*6)", "concatena $x \"1\"", "seja $y ($x + 1)", "escreve $y" });
    EXPECT_EQ(test.ports.console_lines(), "70\n11\n422\n");

    // A sum past the largest number wraps around, text and number alike.
    test.run({ "seja a 2147483647", "soma a 1", "escreve a", "soma a -1", "escreve a", "seja b (a + 0)", "escreve b" });
    EXPECT_EQ(test.ports.console_lines(), "70\n11\n422\n-2147483648\n2147483647\n2147483647\n");
}

// Random statements over a few variables, the invariant checked after each.
TEST(KnownNumber, HoldsThroughRandomStatements)
{
    const std::vector<std::string> statements = {
        "soma a 1", "soma a -1", "soma a 999999999", "soma $n 1", "soma a b", "soma b $n", "soma c 1",
        "subtrai a 3", "subtrai $n b", "multiplica a 7", "multiplica $n 100000", "divide a 2", "divide b 0",
        "divide b -1", "seja a (a + 1)", "seja $n ($n * 2 - b)", "seja b (a / 3)", "seja a (2147483647 + 1)",
        "seja c (0 - 2147483647 - 1)", "seja a \"007\"", "seja b \"x9\"", "seja $n \"-0\"", "seja a 2147483647",
        "seja b -2147483648", "seja c \"\"", "seja b \"abc\"", "seja a tamanho b", "concatena a \"5\"",
        "concatena $n \"1\"", "concatena c a", "copia b a 2 3", "deleta a 1 1", "substitui b \"9\" \"19\"",
        "seja $n 999999999", "seja c \"-5\"", "soma c -2147483647",
    };
    test_support::TestRuntime test;
    std::mt19937 generator(2026);
    std::uniform_int_distribution<size_t> pick(0, statements.size() - 1);
    for (int step = 0; step < 20000; ++step) {
        const std::string& statement = statements[pick(generator)];
        test.execute(statement);
        expect_known_numbers_match_texts(test.runtime.variables, statement);
        if (HasFatalFailure())
            return;
    }
}

TEST(KnownNumber, HoldsThroughLoopsWhoseCounterTheBodyChanges)
{
    const char* bodies[] = { "concatena $i \"0\"", "seja $i \"007\"", "soma $i 5", "seja $i ($i * 2)", "seja $i \"-3\"",
        "subtrai $i 1", "seja $i \"x\"" };
    for (const char* body : bodies) {
        test_support::TestRuntime test;
        test.runtime.step_limit = 1000;
        test.run({ "repete $i 20", body, "soma $t $i", "fim repete" });
        expect_known_numbers_match_texts(test.runtime.variables, body);
    }
}

}
