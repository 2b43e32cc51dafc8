// SPDX-License-Identifier: GPL-3.0-or-later
// The shortcuts of common statement shapes: which lines get one, and that running
// from them leaves everything as the handlers would.
#include "interpreter/decoded_operations.h"
#include "interpreter/run_loop.h"
#include "tests/support/statement_sequences.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using interpreter::DecodedOperation;
using interpreter::FailureReason;
using test_support::TestRuntime;
using Kind = DecodedOperation::Kind;

// The shortcut decoded for `line` (a whole statement), as the run loop
// decodes it: "none" when it has none, else its kind's name.
std::string decoded_kind(const interpreter::CommandTable& table, std::string_view line, DecodedOperation* out = nullptr)
{
    size_t space = line.find(' ');
    std::string keyword(line.substr(0, space));
    for (char& c : keyword)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    std::string_view rest = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    while (!rest.empty() && rest[0] == ' ')
        rest.remove_prefix(1);
    auto operation = interpreter::decode_operation(table, table.find(keyword), line, rest);
    if (!operation)
        return "none";
    if (out)
        *out = *operation;
    switch (operation->kind) {
    case Kind::LetExpression: return "expression";
    case Kind::LetText: return "text";
    case Kind::LetCopy: return "copy";
    case Kind::AddLiteral: return "add";
    case Kind::IfCompare: return operation->nested_add ? "if+add" : "if";
    case Kind::RepeatHead: return "repeat";
    case Kind::EndRepeat: return "end repeat";
    case Kind::EndIf: return "end if";
    case Kind::Else: return "else";
    }
    return "?";
}

TEST(DecodedOperations, OnlyTheShapesTheyStandInForGetAShortcut)
{
    TestRuntime test;
    const interpreter::CommandTable& table = test.runtime.commands;
    struct Case {
        const char* line;
        const char* kind;
    };
    const Case cases[] = {
        { "seja $resto = ($i - $i / 2 * 2)", "expression" },
        { "seja a (b+1)", "expression" },
        { "SEJA $x=(  7  )", "expression" },
        { "seja $x = (1 + 2)x", "none" },
        { "seja $x = (-1)", "none" },
        { "seja $x = ((1))", "none" },
        { "seja $x = ($a_b + 1)", "none" }, // expressions end a name at "_"
        { "seja $x = (ab + 1)", "none" },
        { "seja $x = (1 + 2) + 3", "none" },
        { "seja $x = (1 + 2", "none" },
        { "seja $x = (1+2+3+4+5+6+7+8)", "expression" },
        { "seja $x = (1+2+3+4+5+6+7+8+9)", "none" },
        { "seja $x = \"par\"", "text" },
        { "seja $x \"\"", "text" },
        { "seja $x = \"a\"\"b\"", "none" },
        { "seja $x = \"a\" b", "none" },
        { "seja $x = 007", "text" },
        { "seja $x = 7a", "none" },
        { "seja $x = -7", "none" },
        { "seja $x = $y_1", "copy" },
        { "seja $x = $y z", "none" },
        { "seja $x = tamanho $y", "none" },
        { "seja $x\t= 1", "none" },
        { "soma $total 1", "add" },
        { "soma a 123456789", "add" },
        { "soma a 1234567890", "none" },
        { "soma ab 1", "none" },
        { "soma $x 1 2", "none" },
        { "soma $x $y", "none" },
        { "se $resto = 0", "if" },
        { "se $resto <> 0 soma $impares 1", "if+add" },
        { "se a >= $b SOMA b 2", "if+add" },
        { "se 1 < 2 soma $x 1 2", "if" },
        { "se 1 < 2 escreve 1", "if" },
        { "se $x == 1", "none" },
        { "se $x =* 1", "none" },
        { "se $x = \"a\"", "none" },
        { "se $x = 1234567890", "none" },
        { "se $x = 5abc", "none" },
        { "se nao $x = 1", "none" },
        { "se $x em [l]", "none" },
        { "repete $i 300000", "repeat" },
        { "repete i $n", "repeat" },
        { "repete $i (3)", "none" },
        { "fim repete", "end repeat" },
        { "FIM Repete", "end repeat" },
        { "fim repete x", "none" },
        { "fim se", "end if" },
        { "fim Se", "end if" },
        { "fim se x", "none" },
        { "fim enquanto", "none" },
        { "senao", "else" },
        { "SEN\xC3O", "else" },
        { "senao x", "none" },
        { "escreve 1", "none" },
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.line);
        EXPECT_EQ(decoded_kind(table, entry.line), entry.kind);
    }
}

// The operands are where the text says, and a literal's value is read once.
TEST(DecodedOperations, OperandsAreDecodedOnce)
{
    TestRuntime test;
    DecodedOperation operation;
    std::string line = "seja $resto = ($i - 12 / b * 2)";
    ASSERT_EQ(decoded_kind(test.runtime.commands, line, &operation), "expression");
    ASSERT_EQ(operation.operand_count, 4);
    EXPECT_EQ(operation.target.name.in(line), "resto");
    EXPECT_EQ(operation.operands[0].name.in(line), "i");
    EXPECT_EQ(operation.operands[1].value, 12);
    EXPECT_EQ(operation.operands[2].value, 'B');
    EXPECT_EQ(std::string(operation.operators.data(), 3), "-/*");

    line = "se 0042 >= $n soma z 9";
    ASSERT_EQ(decoded_kind(test.runtime.commands, line, &operation), "if+add");
    EXPECT_EQ(operation.comparison, DecodedOperation::Comparison::GreaterEqual);
    EXPECT_EQ(operation.operands[0].value, 42);
    EXPECT_EQ(operation.text.in(line), "soma z 9");
    EXPECT_EQ(operation.nested_target.value, 'Z');
    EXPECT_EQ(operation.nested_addend, 9);
}

// A shortcut that meets anything unusual leaves the line to its handler:
// every script here runs alike both ways, and gives what the handlers give.
TEST(DecodedOperations, RunAsTheHandlersRun)
{
    struct Case {
        std::vector<std::string> lines;
        std::string console;
    };
    const std::vector<Case> cases = {
        // A counter that a loop's body turns into a text.
        { { "repete $i 5", "se $i = 3 seja $i \"x\"", "fim repete", "escreve $i" }, "" },
        // Counters that reach ten digits leave the digits' shortcut.
        { { "seja $n = 1000000002", "repete $i $n", "se $i = 2 seja $i = 999999997", "fim repete", "escreve $i" },
            "1000000003\r\n" },
        // Leading zeros and texts stay as written; SOMA counts up the end.
        { { "seja $x = 007", "se $x = 7 soma $x 1", "escreve $x", "seja $x = \"item9\"", "soma $x 1", "escreve $x" },
            "8\r\nitem10\r\n" },
        { { "seja $x = \"1.50\"", "se $x = 1 escreve \"um\"", "se $x > 1 escreve \"mais\"", "escreve $x" },
            "mais\r\n1.50\r\n" },
        // Expressions: wrap-around, precedence, and the grammar's soft
        // failures when a variable holds no number.
        { { "seja $x = (2147483647 + 1)", "escreve $x", "soma $x 1", "escreve $x" }, "2147483648\r\n1\r\n" },
        { { "seja $a = 7", "seja $r = ($a - $a / 2 * 2 + 10)", "escreve $r" }, "11\r\n" },
        { { "seja $a = \"x\"", "seja $r = (1 + $a)", "escreve $r" }, "" },
        { { "seja $z = 0", "seja $r = (10 / $z)", "escreve $r" }, "" },
        { { "seja $r = (4294967297 * 3)", "escreve $r" }, "3\r\n" },
        // Names met first in a shortcut's line are added by the handler.
        { { "se $novo = 0 soma $outro 1", "se $novo < 1 soma $outro 1", "escreve $outro" }, "1\r\n" },
        { { "seja $n 3", "repete $i $n", "se $i = 2 seja $n = 1", "fim repete", "escreve $i $n" }, "31\r\n" },
        // The echo of DEBUG shows every statement, shortcut or not.
        { { "debug s", "seja $a = (1 + 2)", "soma $a 1", "se $a = 4 soma $a 1", "debug n" }, "" },
        // The statement after a condition starts past any blank.
        { { "seja a 1", "se a <= a \x19\tsoma a 1", "se a = 2 \x19" "escreve a" }, "2\r\n" },
        // A one-line SE runs its statement nested: a block statement fails.
        { { "seja a 1", "se a = 1 fim repete" }, "" },
        { { "repete a 2", "soma b 1", "fim repete", "repete a 3", "soma b 10", "fim  repete", "escreve b" }, "32\r\n" },
    };
    for (const Case& entry : cases) {
        std::string listing;
        for (const auto& line : entry.lines)
            listing += line + "\n";
        SCOPED_TRACE(listing);
        auto decoded = test_support::run_one_path(entry.lines, false);
        auto text = test_support::run_one_path(entry.lines, true);
        EXPECT_TRUE(decoded == text) << "decoded: line " << decoded.outcome.line << " " << decoded.console
                                     << "\ntext: line " << text.outcome.line << " " << text.console;
        if (!entry.console.empty()) {
            EXPECT_EQ(decoded.console, entry.console);
        }
    }
}

// A full name table refuses a new name with its message, whether the line
// that names it has a shortcut or not.
TEST(DecodedOperations, AFullNameTableFailsAsBefore)
{
    std::vector<std::string> lines;
    for (int i = 0; i < 127; ++i)
        lines.push_back("seja $v" + std::to_string(i) + " = 1");
    lines.push_back("soma $v5 1");
    lines.push_back("soma $novo 1");
    auto decoded = test_support::run_one_path(lines, false);
    auto text = test_support::run_one_path(lines, true);
    EXPECT_TRUE(decoded == text);
    EXPECT_TRUE(decoded.outcome.failed);
    EXPECT_EQ(decoded.outcome.line, 129);
    EXPECT_EQ(decoded.reason, FailureReason::TooManyNames);
}

// The names' slots belong to one run: the next run adds its names in
// another order, and its shortcuts must find them there.
TEST(DecodedOperations, SlotsAreFoundAgainAfterAReset)
{
    TestRuntime test;
    test.run({ "seja $a = 1", "seja $b = 2", "seja $c = ($a + $b)", "escreve $c" });
    interpreter::reset_interpreter(test.runtime);
    test.run({ "seja $b = 5", "seja $a = 7", "seja $c = ($a - $b)", "escreve $c" });
    EXPECT_EQ(test.ports.console_lines(), "3\n2\n");
}

}
