// SPDX-License-Identifier: GPL-3.0-or-later
// SEJA, RANDOMIZA and the arithmetic and string commands, from one case table.
#include "case_table.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> split_statements(const std::string& text)
{
    std::vector<std::string> statements;
    size_t start = 0;
    for (;;) {
        size_t separator = text.find(" ;; ", start);
        statements.push_back(text.substr(start, separator - start));
        if (separator == std::string::npos)
            return statements;
        start = separator + 4;
    }
}

TEST(Statements, RunTheTableOfStatements)
{
    auto cases = test_cases::read_case_table("statement_cases.txt");
    ASSERT_GT(cases.size(), 100u);
    for (const auto& entry : cases) {
        std::string where = "statement_cases.txt:" + std::to_string(entry.number) + " [" + entry.fields[0] + "]";
        ASSERT_TRUE(entry.fields.size() == 2 || entry.fields.size() == 4) << where;
        ASSERT_TRUE(entry.fields[1] == "ok" || entry.fields[1] == "fail") << where;
        test_support::TestRuntime test;
        auto statements = split_statements(entry.fields[0]);
        for (size_t i = 0; i + 1 < statements.size(); ++i) {
            ASSERT_TRUE(test.execute(statements[i])) << where << ": " << statements[i];
        }
        EXPECT_EQ(test.execute(statements.back()), entry.fields[1] == "ok") << where;
        if (entry.fields.size() == 4) {
            EXPECT_EQ(test.variable(entry.fields[2]), entry.fields[3]) << where;
        }
    }
}

}

namespace {

TEST(Statements, DivideNamesWhyItFails)
{
    test_support::TestRuntime test;
    test.set_variable("a", "7");
    EXPECT_FALSE(test.execute("divide a 0"));
    test.set_variable("a", "-2147483648");
    EXPECT_FALSE(test.execute("divide a -1"));
    EXPECT_EQ(test.ports.console_lines(), "Divis\xE3o por zero\nEstouro na divis\xE3o\n");
    EXPECT_EQ(test.ports.speech, (std::vector<std::string> { "Divis\xE3o por zero", "Estouro na divis\xE3o" }));
    // Operand errors say nothing of their own.
    test.ports.console.clear();
    EXPECT_FALSE(test.execute("divide a \"x\""));
    EXPECT_FALSE(test.execute("seja a (1/0)"));
    EXPECT_EQ(test.ports.console, "");
}

}
