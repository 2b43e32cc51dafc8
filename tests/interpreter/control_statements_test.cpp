// SPDX-License-Identifier: GPL-3.0-or-later
// SE/SENAO/FIM, ENQUANTO, REPETE, DESVIA, CHAMA/RETORNA and TERMINA, with the
// block-scanning quirks that scripts rely on.
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

namespace {

using test_support::TestRuntime;

TEST(IfBlock, FalseBlockResumesAfterItsOwnEnd)
{
    TestRuntime test;
    auto outcome = test.run({ "se 1 = 2", "escreve \"dentro\"", "fim se", "escreve \"fora\"" });
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(test.ports.console_lines(), "fora\n");
}

TEST(IfBlock, FalseBlockRunsItsElseBranch)
{
    TestRuntime test;
    test.run({ "se 1 = 2", "escreve \"a\"", "senao", "escreve \"b\"", "fim se", "escreve \"c\"" });
    EXPECT_EQ(test.ports.console_lines(), "b\nc\n");
}

TEST(IfBlock, ElseAtTheEndOfATrueBranchGoesToTheFirstEndLine)
{
    TestRuntime test;
    test.run({ "se 1 = 1", "escreve \"a\"", "sen\xE3o", "escreve \"b\"", "fim se", "escreve \"c\"" });
    EXPECT_EQ(test.ports.console_lines(), "a\nc\n");

    // Even when that end line closes a block nested inside the else branch.
    TestRuntime nested;
    nested.run({ "se 1 = 1", "escreve \"a\"", "senao", "se 2 = 2", "escreve \"b\"", "fim se", "escreve \"c\"",
        "fim se", "escreve \"d\"" });
    EXPECT_EQ(nested.ports.console_lines(), "a\nc\nd\n");
}

TEST(IfBlock, FalseBlockHoldingANestedBlockIsNotSkipped)
{
    TestRuntime test;
    test.run({ "se 1 = 2", "escreve \"a\"", "se 1 = 1", "escreve \"b\"", "fim se", "escreve \"c\"", "fim se",
        "escreve \"d\"" });
    EXPECT_EQ(test.ports.console_lines(), "a\nb\nc\nd\n");

    // The same when the first end the scan meets is the nested block's SENAO.
    TestRuntime with_else;
    with_else.run({ "se 1 = 2", "se 1 = 1", "senao", "fim se", "escreve \"x\"", "fim se", "escreve \"y\"" });
    EXPECT_EQ(with_else.ports.console_lines(), "x\ny\n");
}

TEST(IfBlock, OneLineStatementsAndInvalidConditionsDoNotOpenBlocks)
{
    TestRuntime test;
    test.run({ "se 1 = 2", "se 1 = 1 escreve \"x\"", "se a ? b", "escreve \"a\"", "  FIM   SE  ", "escreve \"b\"" });
    EXPECT_EQ(test.ports.console_lines(), "b\n");
}

TEST(IfBlock, FalseBlockWithoutItsEndEndsTheRunNormally)
{
    TestRuntime test;
    auto outcome = test.run({ "se 1 = 2", "escreve \"a\"" });
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(test.ports.console, "");
}

TEST(IfBlock, TheScanAnswerFollowsConditionsThatChangeValidity)
{
    // The nested head's condition holds an expression: whether it counts as
    // a block depends on $v at the time of the scan, so the answer of the
    // first scan must not be reused for the second.
    TestRuntime test;
    auto outcome = test.run({
        "seja $v \"x\"", // (v) is invalid: the inner SE is not a block head
        "repete i 2",
        "se 1 = 2",
        "se ($v) = 1",
        "escreve \"dentro\"",
        "fim se",
        "escreve \"meio\"",
        "fim se",
        "escreve \"fim\" i",
        "seja $v 1", // now it is a head: the false block is not skipped
        "fim repete",
    });
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(test.ports.console_lines(), "meio\nfim1\ndentro\nmeio\nfim2\n");
}

TEST(IfBlock, TheScanAnswerFollowsListsThatComeAndGo)
{
    // "EM" with a list that does not exist yet is an invalid condition, so
    // the inner SE opens a block only once the list is there. (The scan sees
    // the line upper-cased, list name included: the list is named in capitals
    // so that the scan finds it.)
    TestRuntime test;
    auto outcome = test.run({
        "repete i 2",
        "se 1 = 2",
        "se \"a\" em [L]",
        "escreve \"dentro\"",
        "fim se",
        "escreve \"meio\"",
        "fim se",
        "se i = 1 lista [L] cria",
        "se i = 1 lista [L] adiciona \"A\"",
        "fim repete",
    });
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(test.ports.console_lines(), "meio\ndentro\nmeio\n");
}

TEST(IfStatement, RunsTheStatementOnlyWhenTrueAndFailsWithIt)
{
    TestRuntime test;
    EXPECT_TRUE(test.execute("se 1 = 1 seja a \"sim\""));
    EXPECT_EQ(test.variable("a"), "sim");
    EXPECT_TRUE(test.execute("se 1 = 2 seja a \"n\xE3o\""));
    EXPECT_EQ(test.variable("a"), "sim");
    EXPECT_FALSE(test.execute("se 1 = 1 soma"));
    EXPECT_TRUE(test.execute("se 1 = 2 soma"));
    EXPECT_FALSE(test.execute("se a ? b seja a 1"));
    EXPECT_FALSE(test.execute("se"));
}

TEST(IfStatement, RefusesBlockStatementsAfterFullNormalisation)
{
    for (const char* line : { "se 1 = 1 fim se", "se 1 = 1 FIM SE", "se 1 = 1 sen\xE3o", "se 1 = 1 SEN\xC3O",
             "se 1 = 1 senao", "se 1 = 1 enquanto 1 = 1", "se 1 = 1 repete i 3", "se 1 = 1 Fim x" }) {
        TestRuntime test;
        auto outcome = test.run({ "escreve \"a\"", line, "escreve \"b\"" });
        EXPECT_TRUE(outcome.failed) << line;
        EXPECT_EQ(outcome.line, 2) << line;
        EXPECT_EQ(test.ports.console_lines(), "a\n") << line;
    }
    // Not run, not refused.
    TestRuntime test;
    EXPECT_TRUE(test.execute("se 1 = 2 fim se"));
}

TEST(WhileLoop, RunsWhileTheConditionHolds)
{
    TestRuntime test;
    auto outcome = test.run({ "seja i 0", "enquanto i < 3", "soma i 1", "escreve i", "fim enquanto", "escreve \"fim\"" });
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(test.ports.console_lines(), "1\n2\n3\nfim\n");
}

TEST(WhileLoop, FalseAtTheStartSkipsToTheEndAndIgnoresTextAfterTheCondition)
{
    TestRuntime test;
    test.run({ "enquanto 1 = 2 qualquer coisa", "escreve \"a\"", "fim enquanto", "escreve \"b\"" });
    EXPECT_EQ(test.ports.console_lines(), "b\n");
    TestRuntime invalid;
    auto outcome = invalid.run({ "enquanto a ? b", "fim enquanto" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 1);
}

TEST(Loops, LoopsOfOneKindDoNotNest)
{
    // The outer FIM REPETE goes back to the nearest head above it, the inner
    // one, and the inner head's skip lands on the first end line: the outer
    // loop never advances. The step limit ends what would run forever.
    TestRuntime test;
    test.runtime.step_limit = 500;
    auto outcome = test.run({ "repete i 2", "repete j 2", "escreve i j", "fim repete", "fim repete", "escreve \"fim\"" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(test.variable("i"), "1");
    EXPECT_GT(std::stoi(test.variable("j")), 50);
    EXPECT_EQ(test.ports.console_lines().substr(0, 6), "11\n12\n");
    EXPECT_EQ(test.ports.console_lines().find("fim"), std::string::npos);
}

TEST(Loops, LoopsOfDifferentKindsNest)
{
    TestRuntime test;
    auto outcome = test.run({ "repete i 2", "seja j 0", "enquanto j < 2", "soma j 1", "se j = 2", "escreve i j",
        "fim se", "fim enquanto", "fim repete", "escreve \"fim\" i" });
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(test.ports.console_lines(), "12\n22\nfim3\n");
}

TEST(RepeatLoop, CountsToTheLimitReadAgainEachTime)
{
    TestRuntime zero;
    zero.run({ "repete i 0", "escreve \"corpo\"", "fim repete", "escreve i" });
    EXPECT_EQ(zero.ports.console_lines(), "1\n");

    TestRuntime three;
    three.run({ "repete i 3", "escreve \"corpo\" i", "fim repete", "escreve i" });
    EXPECT_EQ(three.ports.console_lines(), "corpo1\ncorpo2\ncorpo3\n4\n");

    TestRuntime changing;
    changing.run({ "seja n 3", "repete $contador n", "escreve $contador", "seja n 1", "fim repete", "escreve $contador" });
    EXPECT_EQ(changing.ports.console_lines(), "1\n2\n");
}

TEST(RepeatLoop, ACounterRewrittenInAnotherNumberFormIsCountedOnFromItsValue)
{
    // "007" and the hexadecimal "$8" are numbers, but not as the loop
    // writes them: the next count is written afresh.
    TestRuntime test;
    test.run({ "repete i 10", "escreve i", "se i = 1 seja i \"007\"", "se i = 8 seja i \"$8\"", "fim repete", "escreve i" });
    EXPECT_EQ(test.ports.console_lines(), "1\n8\n9\n10\n11\n");
}

TEST(RepeatLoop, TheLargestLimitEndsInsteadOfWrappingAround)
{
    // Counting past the largest limit must end the loop: a count that
    // wrapped around to a negative number would never pass the limit.
    TestRuntime test;
    test.runtime.step_limit = 100;
    test.set_variable("i", "2147483646");
    auto outcome = test.run({ "desvia @fim", "repete i 2147483647", "@fim", "fim repete", "escreve i" });
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(test.ports.console_lines(), "2147483648\n");
}

TEST(RepeatLoop, Failures)
{
    for (const char* line : { "repete", "repete i", "repete 1 2", "repete i x", "repete i \"a\"" }) {
        TestRuntime test;
        EXPECT_FALSE(test.execute(line)) << line;
    }
    // The target stops being a number: the step run from FIM fails.
    TestRuntime test;
    auto outcome = test.run({ "repete i 3", "seja i \"x\"", "fim repete" });
    EXPECT_TRUE(outcome.failed);
}

TEST(EndLine, NeedsAWordAndAHeadAbove)
{
    TestRuntime test;
    EXPECT_FALSE(test.execute("fim"));
    EXPECT_TRUE(test.execute("fim se"));
    EXPECT_TRUE(test.execute("fim qualquer"));
    auto outcome = test.run({ "escreve 1", "fim enquanto" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 2);
    outcome = test.run({ "escreve 1", "fim repete" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 2);
    // A head is a line whose first word is the keyword: "enquanto" alone has
    // no first word.
    outcome = test.run({ "enquanto", "fim enquanto" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 1);
}

TEST(Jumps, GoToLabelsByNameOrByValue)
{
    TestRuntime test;
    auto outcome = test.run({ "desvia @Fim", "escreve \"pulado\"", "@fim", "seja r \"FIM2\"", "desvia r", "escreve \"x\"",
        "@fim2", "escreve \"ok\"" });
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(test.ports.console_lines(), "ok\n");
}

TEST(Jumps, LabelsStandInColumnOneAndMatchWhole)
{
    for (auto script : {
             std::initializer_list<std::string_view> { "desvia @x", " @x" },
             std::initializer_list<std::string_view> { "desvia @x", "@x " },
             std::initializer_list<std::string_view> { "desvia @x", "@xy" },
             std::initializer_list<std::string_view> { "desvia @x y", "@x y" },
             std::initializer_list<std::string_view> { "desvia" },
             std::initializer_list<std::string_view> { "desvia x1", "@x1" },
         }) {
        TestRuntime test;
        auto outcome = test.run(script);
        EXPECT_TRUE(outcome.failed) << *script.begin() << " / " << *(script.end() - 1);
        EXPECT_EQ(outcome.line, 1);
    }
    // The first of two equal labels wins; a label line with more text is a
    // label line like any other when it is reached.
    TestRuntime test;
    test.run({ "desvia @a", "@a", "escreve 1", "termina", "@a", "escreve 2" });
    EXPECT_EQ(test.ports.console_lines(), "1\n");
}

TEST(Calls, ReturnToTheLineAfterTheCall)
{
    TestRuntime test;
    auto outcome = test.run({ "chama @sub", "escreve \"volta\"", "termina", "@sub", "escreve \"sub\"", "retorna" });
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(outcome.line, 3);
    EXPECT_EQ(test.ports.console_lines(), "sub\nvolta\n");
}

TEST(Calls, TwentyLevelsWorkAndTheTwentyFirstFails)
{
    TestRuntime twenty;
    auto outcome = twenty.run({ "seja n 0", "chama @r", "escreve \"volta\" n", "termina", "@r", "soma n 1",
        "se n < 20 chama @r", "retorna" });
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(twenty.ports.console_lines(), "volta20\n");

    TestRuntime deeper;
    outcome = deeper.run({ "seja n 0", "chama @r", "termina", "@r", "soma n 1", "se n < 21 chama @r", "retorna" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 6);
    EXPECT_EQ(deeper.ports.console_lines(), "Muitas chamadas sem retorno\n");
    EXPECT_EQ(deeper.ports.speech, std::vector<std::string> { "Muitas chamadas sem retorno" });
}

TEST(Calls, ReturnWithoutACall)
{
    TestRuntime test;
    auto outcome = test.run({ "escreve 1", "retorna" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 2);
    EXPECT_EQ(test.ports.console_lines(), "1\nRetorno sem chamada\n");
    EXPECT_FALSE(test.execute("retorna x"));
    // A call to a missing label fails on the CHAMA line.
    outcome = test.run({ "chama @nada" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 1);
}

TEST(Calls, TheCallStackIsEmptiedByEachRun)
{
    TestRuntime test;
    test.run({ "chama @sub", "@sub", "termina" });
    test.ports.console.clear();
    auto outcome = test.run({ "retorna" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(test.ports.console_lines(), "Retorno sem chamada\n");
}

TEST(Stop, EndsOnItsLineAndSetsTheSilentEndOnlyForMudo)
{
    TestRuntime test;
    auto outcome = test.run({ "escreve 1", "termina", "escreve 2" });
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(outcome.line, 2);
    EXPECT_FALSE(test.runtime.silent_end);
    test.run({ "termina mUdO" });
    EXPECT_TRUE(test.runtime.silent_end);
    // A run that does not reach TERMINA leaves the flag as it was.
    test.run({ "escreve 3" });
    EXPECT_TRUE(test.runtime.silent_end);
    test.run({ "termina outro" });
    EXPECT_FALSE(test.runtime.silent_end);
    test.run({ "termina mudo x" });
    EXPECT_FALSE(test.runtime.silent_end);
}

}

namespace {

TEST(EndLine, ScansStayInsideTheStoreAfterARun)
{
    // After a run the store is empty while current_line still points past
    // the lines that were there.
    test_support::TestRuntime test;
    test.run({ "escreve 1", "escreve 2", "escreve 3", "escreve 4" });
    EXPECT_FALSE(test.execute("fim enquanto"));
    EXPECT_FALSE(test.execute("fim repete"));
    EXPECT_TRUE(test.execute("se 1 = 2"));
    EXPECT_TRUE(test.execute("senao"));
}

}

namespace {

// FIM names its loop in any case; a byte that only looks like a letter of
// the word, or a word one letter off, is some other FIM that does nothing.
TEST(EndLine, NamesItsLoopInAnyCaseAndNothingElse)
{
    for (std::string_view word : { "repete", "REPETE", "RePeTe" }) {
        test_support::TestRuntime test;
        test.run({ "repete i 2", "escreve i", std::string("fim ") + std::string(word), "escreve \"fim\"" });
        EXPECT_EQ(test.ports.console_lines(), "1\n2\nfim\n") << word;
    }
    for (std::string_view word : { "enquanto", "ENQUANTO", "eNqUaNtO" }) {
        test_support::TestRuntime test;
        test.run({ "seja i 0", "enquanto i < 2", "soma i 1", std::string("fim ") + std::string(word), "escreve i" });
        EXPECT_EQ(test.ports.console_lines(), "2\n") << word;
    }
    // "\xD2" and "\xF2" upper-case to neither "R" nor "r"; "\x12" differs
    // from "R" in one bit only; "@" is one below "A".
    for (std::string_view word : { "\xD2" "EPETE", "\xF2" "epete", "\x12" "EPETE", "REPET@", "REPETES", "REPET" }) {
        test_support::TestRuntime test;
        auto outcome = test.run({ "repete i 2", "escreve i", std::string("fim ") + std::string(word), "escreve \"fim\"" });
        EXPECT_FALSE(outcome.failed) << word;
        EXPECT_EQ(test.ports.console_lines(), "1\nfim\n") << word;
    }
}

}
