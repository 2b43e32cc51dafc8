// SPDX-License-Identifier: GPL-3.0-or-later
// eval_condition and compare_key.
#include "case_table.h"
#include "interpreter/condition.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(Condition, EvaluatesTheTableOfConditions)
{
    auto cases = test_cases::read_case_table("condition_cases.txt");
    ASSERT_GT(cases.size(), 50u);
    test_support::TestRuntime test;
    for (auto [name, value] : { std::pair { "a", "abc" }, { "b", "ABC" }, { "s", "007" }, { "t", "7" },
             { "n", "-5" }, { "m", "-3" }, { "e", "" }, { "z", "0" } })
        test.set_variable(name, value);
    ASSERT_TRUE(test.execute("lista [nomes] cria"));
    ASSERT_TRUE(test.execute("lista [nomes] adiciona \"Ana\""));
    ASSERT_TRUE(test.execute("lista [nomes] adiciona \"007\""));
    ASSERT_TRUE(test.execute("lista [nomes] adiciona \"bob\""));
    ASSERT_TRUE(test.execute("lista [vazia] cria"));

    for (const auto& entry : cases) {
        std::string where = "condition_cases.txt:" + std::to_string(entry.number) + " [" + entry.fields[0] + "]";
        auto result = interpreter::eval_condition(test.runtime, entry.fields[0]);
        if (entry.fields.size() == 2) {
            ASSERT_EQ(entry.fields[1], "invalid") << where;
            EXPECT_FALSE(result.valid) << where;
            continue;
        }
        ASSERT_EQ(entry.fields.size(), 3u) << where;
        ASSERT_TRUE(result.valid) << where;
        EXPECT_EQ(result.truth ? "true" : "false", entry.fields[1]) << where;
        EXPECT_EQ(result.rest, entry.fields[2]) << where;
    }
}

// Conditions of two simple numbers take a shortcut once the names' places
// are remembered. Random conditions stored as script lines, where the
// memo works, must come out as the general rules decide them: before the
// memo knows the places, after, and by the rules alone.
TEST(Condition, ShortcutAgreesWithTheRulesOnStoredLines)
{
    const char* values[] = { "$n", "$m", "$zero", "$vazio", "$texto", "$negativo", "$longo", "$zeros", "0", "7",
        "007", "123456789", "1234567890", "-5", "\"7\"", "x", "(3+4)", "$", "$conta", "$menos", "$enorme" };
    const char* operators[] = { "=", "<>", "<", ">", "<=", ">=", "==", "=*", "*=", "*=*", " em ", "", "=<" };
    const char* spaces[] = { " ", "", "  " };
    const char* tails[] = { "", " escreve 1", " soma $n 1" };
    test_support::TestRuntime test;
    for (auto [name, value] : { std::pair { "$n", "12" }, { "$m", "7" }, { "$zero", "0" }, { "$vazio", "" },
             { "$texto", "abc" }, { "$negativo", "-3" }, { "$longo", "1234567890" }, { "$zeros", "0012" } })
        test.set_variable(name, value);
    // Arithmetic leaves its numbers remembered, which the shortcut reads
    // instead of the text.
    for (const char* line : { "seja $conta = (6 * 2)", "seja $menos = (0 - 3)", "seja $enorme = (999999999 + 1)" })
        ASSERT_TRUE(test.execute(line)) << line;
    std::mt19937 generator(5);
    auto pick = [&generator](const auto& list) { return list[generator() % std::size(list)]; };
    std::vector<std::string> conditions;
    for (int i = 0; i < 3000; ++i) {
        std::string condition = std::string(pick(values)) + pick(spaces) + pick(operators) + pick(spaces) + pick(values) + pick(tails);
        if (generator() % 8 == 0)
            condition = "nao " + condition;
        conditions.push_back(condition);
        test.runtime.store.store_line("se " + condition, i + 1);
    }
    for (int i = 0; i < static_cast<int>(conditions.size()); ++i) {
        test.runtime.current_line = i + 1;
        std::string_view text = test.runtime.store.statement(i + 1).substr(3);
        auto first = interpreter::eval_condition(test.runtime, text);
        auto again = interpreter::eval_condition(test.runtime, text);
        auto rules = interpreter::eval_condition_by_rules(test.runtime, text);
        for (const auto* result : { &first, &again }) {
            ASSERT_EQ(result->valid, rules.valid) << conditions[i];
            if (rules.valid) {
                ASSERT_EQ(result->truth, rules.truth) << conditions[i];
                ASSERT_EQ(result->rest, rules.rest) << conditions[i];
            }
        }
    }
}

TEST(Condition, CompareKeyZeroFillsDigitTexts)
{
    EXPECT_EQ(interpreter::compare_key(""), std::string(20, '0'));
    EXPECT_EQ(interpreter::compare_key("7"), std::string(20, '0') + "7");
    EXPECT_EQ(interpreter::compare_key("007"), std::string(20, '0') + "7");
    EXPECT_EQ(interpreter::compare_key(std::string(25, '9')), std::string(21, '9'));
    EXPECT_EQ(interpreter::compare_key("1" + std::string(23, '0') + "2"), std::string(20, '0') + "2");
    // Texts with a sign, a point, a space or letters are only upper-cased.
    EXPECT_EQ(interpreter::compare_key("-5"), "-5");
    EXPECT_EQ(interpreter::compare_key("1.5"), "1.5");
    EXPECT_EQ(interpreter::compare_key("1 2"), "1 2");
    EXPECT_EQ(interpreter::compare_key("ab\xE7"), "AB\xC7");
}

TEST(Condition, CompareByKeyAgreesWithTheKeys)
{
    const char* values[] = { "", "0", "7", "007", "10", "9", "-5", "-3", "abc", "ABD", "ab", "\xE9", "\xC9", "\xFF", "z", "1 2",
        "000000000", "000000001", "999999999", "0999999999", "1000000000", "123456789", "0123456789", "12345678a", "00" };
    for (const char* left : values) {
        for (const char* right : values) {
            // Keys sort by their bytes' codes, 0 to 255.
            std::string left_key = interpreter::compare_key(left), right_key = interpreter::compare_key(right);
            int expected = std::lexicographical_compare(left_key.begin(), left_key.end(), right_key.begin(), right_key.end(),
                               [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); })
                ? -1
                : (left_key == right_key ? 0 : 1);
            int actual = interpreter::compare_by_key(left, right);
            EXPECT_EQ(actual < 0 ? -1 : (actual > 0 ? 1 : 0), expected) << "[" << left << "] vs [" << right << "]";
        }
    }
}

}
