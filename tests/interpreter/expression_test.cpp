// SPDX-License-Identifier: GPL-3.0-or-later
// eval_expression: values, stop rules, invalid expressions.
#include "case_table.h"
#include "interpreter/argument_readers.h"
#include "interpreter/expression.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>

namespace {

void set_expression_variables(test_support::TestRuntime& test)
{
    test.set_variable("a", "5");
    test.set_variable("b", "abc");
    test.set_variable("c", "");
    test.set_variable("h", "$10");
    test.set_variable("$n", "-3");
    test.set_variable("$big", "2147483647");
}

TEST(Expression, EvaluatesTheTableOfExpressions)
{
    auto cases = test_cases::read_case_table("expression_cases.txt");
    ASSERT_GT(cases.size(), 40u);
    test_support::TestRuntime test;
    set_expression_variables(test);
    for (const auto& entry : cases) {
        std::string where = "expression_cases.txt:" + std::to_string(entry.number) + " [" + entry.fields[0] + "]";
        auto result = interpreter::eval_expression(test.runtime, entry.fields[0]);
        if (entry.fields.size() == 2) {
            ASSERT_EQ(entry.fields[1], "invalid") << where;
            EXPECT_FALSE(result.valid) << where << " gave " << result.value;
            continue;
        }
        ASSERT_EQ(entry.fields.size(), 3u) << where;
        ASSERT_TRUE(result.valid) << where;
        EXPECT_EQ(std::to_string(result.value), entry.fields[1]) << where;
        EXPECT_EQ(result.rest, entry.fields[2]) << where;
    }
}

// eval_expression takes a shortcut for flat expressions; the full grammar
// must give the same answer, the same rest and the same validity.
TEST(Expression, ShortcutAgreesWithTheGrammarOnTheTable)
{
    auto cases = test_cases::read_case_table("expression_cases.txt");
    ASSERT_GT(cases.size(), 40u);
    test_support::TestRuntime test;
    set_expression_variables(test);
    for (const auto& entry : cases) {
        std::string where = "expression_cases.txt:" + std::to_string(entry.number) + " [" + entry.fields[0] + "]";
        auto result = interpreter::eval_expression(test.runtime, entry.fields[0]);
        auto grammar = interpreter::eval_expression_by_grammar(test.runtime, entry.fields[0]);
        EXPECT_EQ(result.valid, grammar.valid) << where;
        EXPECT_EQ(result.value, grammar.value) << where;
        EXPECT_EQ(result.rest, grammar.rest) << where;
    }
}

// Random runs of operands, operators, spaces and stray characters: the
// shortcut and the grammar must still agree on every one.
TEST(Expression, ShortcutAgreesWithTheGrammarOnRandomTexts)
{
    const char* pieces[] = { "1", "7", "0", "42", "2147483647", "4294967296", "99999999999", "a", "b", "x", "$n",
        "$vazio", "$texto", "$", "+", "-", "*", "/", "(", ")", " ", "  ", "q", "#", "$n1" };
    test_support::TestRuntime test;
    set_expression_variables(test);
    ASSERT_TRUE(test.execute("seja $n 12"));
    ASSERT_TRUE(test.execute("soma $n 1")); // known to the arithmetic as 13
    ASSERT_TRUE(test.execute("seja $texto \"abc\""));
    std::mt19937 generator(99);
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> count(1, 9);
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        for (int n = count(generator); n > 0; --n)
            text += pieces[pick(generator)];
        auto result = interpreter::eval_expression(test.runtime, text);
        auto grammar = interpreter::eval_expression_by_grammar(test.runtime, text);
        ASSERT_EQ(result.valid, grammar.valid) << "[" << text << "]";
        ASSERT_EQ(result.value, grammar.value) << "[" << text << "]";
        ASSERT_EQ(result.rest, grammar.rest) << "[" << text << "]";
    }
}

TEST(Expression, ReadValueNeedsTheClosingParenthesis)
{
    test_support::TestRuntime test;
    set_expression_variables(test);
    std::string value;
    std::string_view rest = "(2+3*4) tail";
    ASSERT_TRUE(interpreter::read_value(test.runtime, rest, value));
    EXPECT_EQ(value, "14");
    EXPECT_EQ(rest, "tail");

    rest = "( -(5) )";
    ASSERT_TRUE(interpreter::read_value(test.runtime, rest, value));
    EXPECT_EQ(value, "-5");

    // The expression stops at "b", and read_value wants ")" there.
    rest = "(1+b)";
    EXPECT_FALSE(interpreter::read_value(test.runtime, rest, value));
    rest = "(2*)";
    ASSERT_TRUE(interpreter::read_value(test.runtime, rest, value));
    EXPECT_EQ(value, "2");
    rest = "(1+2";
    EXPECT_FALSE(interpreter::read_value(test.runtime, rest, value));
    rest = "(1/0)";
    EXPECT_FALSE(interpreter::read_value(test.runtime, rest, value));
}

TEST(Expression, RegistersTheNamesItReads)
{
    test_support::TestRuntime test;
    auto before = test.runtime.variables.name_count();
    interpreter::eval_expression(test.runtime, "$novo+1)");
    EXPECT_EQ(test.runtime.variables.name_count(), before + 1);
}

TEST(Expression, DeepNestingIsInvalidWithoutExhaustingTheStack)
{
    test_support::TestRuntime test;
    std::string deep(100000, '(');
    deep += '1';
    deep += std::string(100000, ')');
    EXPECT_FALSE(interpreter::eval_expression(test.runtime, deep).valid);
    std::string minus(100000, '-');
    minus += '1';
    EXPECT_FALSE(interpreter::eval_expression(test.runtime, minus).valid);
    // Moderate nesting is fine.
    EXPECT_EQ(interpreter::eval_expression(test.runtime, "((((((((((1))))))))))+1").value, 2);
}

}
