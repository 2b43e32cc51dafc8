// SPDX-License-Identifier: GPL-3.0-or-later
// decode_statement: keywords, operand spans, block roles and the problems the text shows.
#include "case_table.h"
#include "interpreter/statement_decoder.h"
#include "reason_names.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

namespace {

using interpreter::decode_statement;
using interpreter::FailureReason;
using interpreter::LineKind;

std::string describe_operands(const interpreter::DecodedStatement& decoded, std::string_view line)
{
    std::string text;
    for (int i = 0; i < decoded.operand_count; ++i) {
        if (i > 0)
            text += ", ";
        text += test_cases::operand_kind_name(decoded.operands[i].kind) + ":" + std::string(decoded.operands[i].span.in(line));
    }
    return text;
}

std::string kind_or_role(const interpreter::DecodedStatement& decoded)
{
    switch (decoded.kind) {
    case LineKind::Empty:
        return "empty";
    case LineKind::Comment:
        return "comment";
    case LineKind::Label:
        return "label";
    case LineKind::Statement:
        break;
    }
    return test_cases::role_name(decoded.role);
}

TEST(StatementDecoder, DecodesTheTableOfLines)
{
    test_support::TestRuntime test;
    auto cases = test_cases::read_case_table("decoder_cases.txt");
    ASSERT_GT(cases.size(), 60u);
    for (const auto& entry : cases) {
        std::string where = "decoder_cases.txt:" + std::to_string(entry.number) + " [" + entry.fields[0] + "]";
        ASSERT_EQ(entry.fields.size(), 4u) << where;
        auto decoded = decode_statement(test.commands, entry.fields[0]);
        EXPECT_EQ(kind_or_role(decoded), entry.fields[1]) << where;
        EXPECT_EQ(test_cases::reason_name(decoded.problem), entry.fields[2]) << where;
        EXPECT_EQ(describe_operands(decoded, entry.fields[0]), entry.fields[3]) << where;
    }
}

// The decoder must never call wrong a line that runs: every statement the
// statement table expects to succeed decodes clean, and every line the
// decoder finds a problem in fails when it runs, on any runtime.
TEST(StatementDecoder, AgreesWithTheRunOnTheStatementTable)
{
    auto cases = test_cases::read_case_table("statement_cases.txt");
    ASSERT_GT(cases.size(), 100u);
    for (const auto& entry : cases) {
        std::string statements = entry.fields[0];
        size_t last = statements.rfind(" ;; ");
        std::string line = last == std::string::npos ? statements : statements.substr(last + 4);
        std::string where = "statement_cases.txt:" + std::to_string(entry.number) + " [" + line + "]";
        test_support::TestRuntime test;
        auto decoded = decode_statement(test.commands, line);
        if (entry.fields[1] == "ok") {
            EXPECT_EQ(test_cases::reason_name(decoded.problem), "None") << where;
        }
        if (decoded.problem != FailureReason::None) {
            EXPECT_FALSE(test.execute(line)) << where;
        }
    }
}

TEST(StatementDecoder, RefusesBlockStatementsWhereOnlyAStatementMayStand)
{
    test_support::TestRuntime test;
    for (std::string_view line : { "fim se", "senao", "SEN\xE3O", "enquanto a = 1", "repete a 3" }) {
        EXPECT_EQ(decode_statement(test.commands, line, true).problem, FailureReason::BlockStatementNested) << line;
        EXPECT_NE(decode_statement(test.commands, line, false).problem, FailureReason::BlockStatementNested) << line;
    }
    EXPECT_EQ(decode_statement(test.commands, "escreve \"a\"", true).problem, FailureReason::None);
}

TEST(StatementDecoder, SpansPointIntoTheLineAsStored)
{
    test_support::TestRuntime test;
    std::string line = "   Soma  $Total   (1 + 2)   ";
    auto decoded = decode_statement(test.commands, line);
    EXPECT_EQ(decoded.keyword.in(line), "Soma");
    EXPECT_EQ(decoded.rest.in(line), "$Total   (1 + 2)");
    ASSERT_NE(decoded.command, nullptr);
    EXPECT_EQ(decoded.command->keyword, "SOMA");
    ASSERT_EQ(decoded.operand_count, 2);
    EXPECT_EQ(decoded.operands[1].span.in(line), "(1 + 2)");
}

TEST(StatementDecoder, NamesTheLabelAJumpOrALabelLineCarries)
{
    test_support::TestRuntime test;
    struct Case {
        std::string_view line;
        std::string_view name;
    } cases[] = {
        { "@Volta", "VOLTA" },
        { "@volta  ", "VOLTA  " }, // the stored line to its end, as jumps compare it
        { "  @volta", "" }, // not in column 1: no jump finds it
        { "desvia @Fim", "FIM" },
        { "chama \"r\xE1pido\"", "R\xC1PIDO" },
        { "desvia \"a\"\"b\"", "A\"B" },
        { "desvia $destino", "" },
        { "se a = 1 desvia @sai", "SAI" },
        { "se a = 1 escreve \"@x\"", "" },
    };
    for (const auto& entry : cases) {
        auto decoded = decode_statement(test.commands, entry.line);
        EXPECT_EQ(interpreter::label_name(decoded, entry.line), entry.name) << entry.line;
    }
}

TEST(StatementDecoder, FindsTheEndOfConditionsAndValues)
{
    struct Case {
        std::string_view text;
        size_t value;
        size_t condition;
    } cases[] = {
        { "a = 1 escreve", 1, 5 },
        { "\"x\"\"y\" == \"z\"", 6, 13 },
        { "$nome_1 <> 3", 7, 12 },
        { "(1 + (2)) > 2", 9, 13 },
        { "-12 < -3x", 3, 8 },
        { "\"sem fim", 8, 0 },
        { "n\xE3o a *=* \"b\"", 1, 13 },
        { "% = 1", 0, 0 },
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(interpreter::value_length(entry.text), entry.value) << entry.text;
        EXPECT_EQ(interpreter::condition_length(entry.text), entry.condition) << entry.text;
    }
}

}
