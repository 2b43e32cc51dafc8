// SPDX-License-Identifier: GPL-3.0-or-later
// check_script and decode_script: whole scripts checked without running them.
#include "case_table.h"
#include "interpreter/script_checker.h"
#include "interpreter/script_store.h"
#include "reason_names.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using interpreter::check_script;
using interpreter::FailureReason;

std::vector<std::string> split_script(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 1;
    }
}

std::string describe(const std::vector<interpreter::Diagnostic>& diagnostics)
{
    std::string text;
    for (const auto& diagnostic : diagnostics) {
        if (!text.empty())
            text += ", ";
        text += std::to_string(diagnostic.line) + ":" + test_cases::reason_name(diagnostic.reason);
        if (!diagnostic.detail.empty())
            text += ":" + diagnostic.detail;
    }
    return text;
}

TEST(ScriptChecker, ChecksTheTableOfScripts)
{
    test_support::TestRuntime test;
    auto cases = test_cases::read_case_table("check_cases.txt");
    ASSERT_GT(cases.size(), 30u);
    for (const auto& entry : cases) {
        std::string where = "check_cases.txt:" + std::to_string(entry.number);
        ASSERT_EQ(entry.fields.size(), 2u) << where;
        auto diagnostics = check_script(test.commands, split_script(entry.fields[0]), {});
        EXPECT_EQ(describe(diagnostics), entry.fields[1]) << where;
    }
}

TEST(ScriptChecker, CountsNamesUpToTheStoresLimit)
{
    test_support::TestRuntime test;
    std::vector<std::string> lines;
    for (int i = 0; i < interpreter::max_variable_names; ++i)
        lines.push_back("seja $v" + std::to_string(i) + " 1");
    // Names inside text literals and names used again are no new names.
    lines.push_back("escreve \"$nao_conta\" $v0");
    EXPECT_EQ(describe(check_script(test.commands, lines, {})), "");
    lines.push_back("seja $mais \"$x\"");
    lines.push_back("seja $outra 1");
    EXPECT_EQ(describe(check_script(test.commands, lines, {})), "129:TooManyNames:$MAIS");
}

TEST(ScriptChecker, ReportsLinesOverTheStoresLimits)
{
    test_support::TestRuntime test;
    std::vector<std::string> lines(interpreter::max_script_lines + 2, "escreve \"a\"");
    lines[9] = "escreve \"" + std::string(100, 'x') + "\"";
    auto diagnostics = check_script(test.commands, lines, { .max_line_length = 100 });
    EXPECT_EQ(describe(diagnostics), "10:LineTooLong, 5001:TooManyLines");
    // Without a length limit only the number of lines counts.
    EXPECT_EQ(describe(check_script(test.commands, lines, {})), "5001:TooManyLines");
}

TEST(ScriptChecker, DescribesADiagnosticWithItsDetail)
{
    EXPECT_EQ(interpreter::describe_diagnostic({ 3, FailureReason::MissingLabel, "@NADA" }), "R\xF3tulo n\xE3o encontrado: @NADA");
    EXPECT_EQ(interpreter::describe_diagnostic({ 3, FailureReason::IfWithoutEnd, {} }), "SE sem FIM SE");
}

// Every reason has a text of its own: two alike would tell the user less.
TEST(ScriptChecker, EveryReasonHasADistinctText)
{
    std::set<std::string_view> texts;
    for (int value = 1; value <= static_cast<int>(FailureReason::CommandFailed); ++value) {
        auto text = interpreter::failure_text(static_cast<FailureReason>(value));
        EXPECT_FALSE(text.empty()) << value;
        EXPECT_TRUE(texts.insert(text).second) << text;
    }
}

TEST(DecodeScript, ResolvesJumpsAndBlocksToTheirLines)
{
    test_support::TestRuntime test;
    std::vector<std::string> lines = {
        "se a = 1", // 1
        "enquanto b < 2", // 2
        "desvia @fim", // 3
        "fim enquanto", // 4
        "senao", // 5
        "repete $i 2", // 6
        "fim repete", // 7
        "fim se", // 8
        "@FIM", // 9
        "se a = 1 chama \"fim\"", // 10
    };
    auto decoded = interpreter::decode_script(test.commands, lines);
    ASSERT_EQ(decoded.size(), lines.size());
    std::vector<int> targets;
    for (const auto& statement : decoded)
        targets.push_back(statement.target);
    // SE leads to its SENAO, the SENAO to the end; ends lead back to heads.
    EXPECT_EQ(targets, (std::vector<int> { 5, 4, 9, 2, 8, 7, 6, 1, 0, 9 }));
}

}
