// SPDX-License-Identifier: GPL-3.0-or-later
// The run loop, line kinds, dispatch, the debug echo and the program-start reset.
#include "interpreter/run_loop.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

namespace {

using test_support::TestRuntime;

TEST(RunLoop, EmptyCommentAndLabelLinesRunToTheEnd)
{
    TestRuntime test;
    auto outcome = test.run({ "", "   ", "\t* comentario", "*", "@rotulo", "@rotulo com texto", "  \r" });
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(outcome.line, 8);
    EXPECT_EQ(test.ports.console, "");
}

TEST(RunLoop, TheStoreIsEmptyAfterARunAndVariablesStay)
{
    TestRuntime test;
    auto outcome = test.run({ "seja a 5" });
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(test.runtime.store.line_count(), 0);
    outcome = interpreter::run_script(test.runtime);
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(outcome.line, 1);
    EXPECT_EQ(test.variable("a"), "5");
}

TEST(RunLoop, AFailingStatementEndsTheRunOnItsLine)
{
    TestRuntime test;
    auto outcome = test.run({ "escreve 1", "", "soma", "escreve 2" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 3);
    EXPECT_EQ(test.ports.console_lines(), "1\n");
    // The next run starts clean.
    outcome = test.run({ "escreve 3" });
    EXPECT_FALSE(outcome.failed);
    EXPECT_FALSE(test.runtime.run_failed);
}

TEST(RunLoop, ResetsTheIoStatusAtTheStartOfARun)
{
    TestRuntime test;
    test.runtime.io_status = 7;
    test.run({ "" });
    EXPECT_EQ(test.runtime.io_status, 0);
}

TEST(RunLoop, TheStepLimitEndsALoopingRunAsFailed)
{
    TestRuntime test;
    test.runtime.step_limit = 1000;
    auto outcome = test.run({ "@a", "soma n 1", "desvia @a" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(test.variable("n"), "500");
    EXPECT_EQ(test.runtime.store.line_count(), 0);
}

TEST(RunLoop, ALoopThatNeverWaitsStillLooksAtEvents)
{
    // Every 4096 statements: often enough to stop a runaway script at once,
    // seldom enough to cost nothing.
    TestRuntime test;
    test.runtime.step_limit = 10000;
    test.run({ "@a", "soma n 1", "desvia @a" });
    EXPECT_EQ(test.ports.event_looks, 2);

    TestRuntime short_run;
    short_run.run({ "seja a 1", "soma a 1", "escreve a" });
    EXPECT_EQ(short_run.ports.event_looks, 0);
}

TEST(LineSplit, KeywordAndRestSplitAtTheFirstSpace)
{
    TestRuntime test;
    EXPECT_TRUE(test.execute("escreve"));
    EXPECT_TRUE(test.execute("EsCrEvE  \"x\""));
    EXPECT_TRUE(test.execute("\t  escreve \"y\"  \t"));
    EXPECT_EQ(test.ports.console_lines(), "\nx\ny\n");
    EXPECT_EQ(test.runtime.current_keyword, "ESCREVE");
}

TEST(LineSplit, ATabAfterTheKeywordIsNoSeparator)
{
    TestRuntime test;
    auto outcome = test.run({ "escreve 1", "escreve\t\"x\"" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 2);
    EXPECT_EQ(test.ports.console_lines(), "1\nComando inv\xE1lido: ESCREVE\t\"X\"\n");
}

TEST(Dispatch, KeywordsInAnyCaseAndBothSpellings)
{
    TestRuntime test;
    EXPECT_TRUE(test.execute("SeJa a 1"));
    // The accented spelling in lower case reaches the same command.
    EXPECT_TRUE(test.execute("sen\xE3o"));
    EXPECT_TRUE(test.execute("SEN\xC3O"));
    EXPECT_TRUE(test.execute("Sen\xC3o"));
}

// Keywords are normalised eight bytes at a time when the line is long
// enough, a byte at a time otherwise: every byte at every place of a short
// keyword must come out as the case rule says, in both ways.
TEST(Dispatch, EveryByteOfAKeywordFollowsTheCaseRule)
{
    for (int byte = 1; byte < 256; ++byte) {
        if (byte == ' ' || byte == '\n' || byte == '\r')
            continue;
        TestRuntime test;
        std::string expected;
        for (size_t place = 0; place < 7; ++place) {
            if (place == 0 && (byte <= ' ' || byte == '*' || byte == '@'))
                continue;
            for (std::string_view tail : { "", " 12345678" }) {
                // A blank that ends the line is trimmed away with it.
                if (tail.empty() && byte <= ' ')
                    continue;
                std::string keyword = std::string("qqqqqqq").substr(0, place + 1);
                keyword[place] = static_cast<char>(byte);
                EXPECT_FALSE(test.execute(keyword + std::string(tail))) << byte << " at " << place;
                std::string upper = keyword;
                for (char& c : upper) {
                    auto b = static_cast<unsigned char>(c);
                    if ((b >= 'a' && b <= 'z') || b >= 224)
                        c = static_cast<char>(b - 32);
                }
                expected += "Comando inv\xE1lido: " + upper + "\n";
            }
        }
        EXPECT_EQ(test.ports.console_lines(), expected) << "byte " << byte;
    }
}

TEST(Dispatch, UnknownKeywordsAreReportedNormalised)
{
    TestRuntime test;
    EXPECT_FALSE(test.execute("fa\xE7" "a x"));
    EXPECT_FALSE(test.execute(std::string(100, 'z')));
    EXPECT_EQ(test.ports.console_lines(), "Comando inv\xE1lido: FA\xC7" "A\nComando inv\xE1lido: " + std::string(100, 'Z') + "\n");
    EXPECT_EQ(test.ports.speech.size(), 2u);
}

TEST(Dispatch, CommandsOfAbsentSubsystemsFailNamingTheCommand)
{
    TestRuntime test;
    EXPECT_FALSE(test.execute("midi 1"));
    EXPECT_NE(test.ports.console.find("MIDI"), std::string::npos);
}

// Every keyword of the table, written in lower case, reaches its own entry;
// a byte that only differs from a keyword's digit in bit 5 reaches none.
TEST(Dispatch, EveryKeywordInLowerCaseAndNoLookalike)
{
    TestRuntime probe;
    for (const auto& entry : probe.commands.entries()) {
        std::string lower(entry.keyword);
        for (char& c : lower) {
            auto byte = static_cast<unsigned char>(c);
            if ((byte >= 'A' && byte <= 'Z') || (byte >= 192 && byte <= 223))
                c = static_cast<char>(byte + 32);
        }
        // The keyword alone, and followed by enough text for the word-wide
        // search; either way the command's own handler must be reached.
        for (std::string line : { lower, lower + " xxxxxxxxx" }) {
            TestRuntime test;
            test.runtime.step_limit = 50;
            test.execute(line);
            EXPECT_EQ(test.runtime.current_keyword, entry.keyword) << line;
            EXPECT_EQ(test.ports.console.find("Comando inv\xE1lido"), std::string::npos) << line;
        }
        for (size_t i = 0; i < lower.size(); ++i) {
            if (lower[i] < '0' || lower[i] > '9')
                continue;
            std::string lookalike = lower;
            lookalike[i] = static_cast<char>(lookalike[i] ^ 0x20);
            TestRuntime test;
            EXPECT_FALSE(test.execute(lookalike + " x"));
            EXPECT_NE(test.ports.console.find("Comando inv\xE1lido"), std::string::npos) << lookalike;
        }
    }
}

TEST(Debug, EchoesEveryStatementBeforeItRunsEvenWhenItFails)
{
    TestRuntime test;
    auto outcome = test.run({ "debug", "seja  a   1 ", "soma", "escreve \"nunca\"" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 3);
    EXPECT_EQ(test.ports.console_lines(), "Debug ligado\nSEJA a   1\nSOMA \n");
    EXPECT_EQ(test.ports.speech, (std::vector<std::string> { "Debug ligado", "SEJA a   1", "SOMA " }));
}

TEST(Debug, SwitchesOffOnlyForMinusOrAnUpperCaseN)
{
    struct Case {
        const char* statement;
        bool echo;
    };
    for (auto c : { Case { "debug", true }, Case { "debug n", true }, Case { "debug sim", true }, Case { "debug N", false },
             Case { "debug Nunca", false }, Case { "debug -", false }, Case { "debug --", true }, Case { "debug  -  ", false } }) {
        TestRuntime test;
        test.runtime.debug_echo = !c.echo;
        EXPECT_TRUE(test.execute(c.statement)) << c.statement;
        EXPECT_EQ(test.runtime.debug_echo, c.echo) << c.statement;
        EXPECT_EQ(test.ports.speech.back(), c.echo ? "Debug ligado" : "Debug desligado") << c.statement;
    }
}

TEST(Debug, TheEchoShowsTheKeywordAsSplit)
{
    TestRuntime test;
    test.runtime.debug_echo = true;
    EXPECT_TRUE(test.execute("sen\xE3o"));
    // Only a..z are upper-cased when the line is split.
    EXPECT_EQ(test.ports.console_lines(), "SEN\xE3O \n");
}

TEST(NameTable, HoldsAHundredAndTwentySevenNamesThenFailsWithAMessage)
{
    TestRuntime test;
    for (int i = 0; i < 127; ++i)
        ASSERT_TRUE(test.execute("seja $v" + std::to_string(i) + " " + std::to_string(i))) << i;
    EXPECT_EQ(test.variable("$v126"), "126");
    EXPECT_EQ(test.variable("$v0"), "0");
    EXPECT_EQ(test.ports.console, "");
    auto outcome = test.run({ "seja $v0 \"a\"", "seja $outro 1" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 2);
    EXPECT_EQ(test.ports.console_lines(), "Muitas vari\xE1veis no programa (m\xE1ximo 127)\n");
    // Names already known still work.
    EXPECT_TRUE(test.execute("seja $v5 \"b\""));
}

TEST(Reset, EmptiesVariablesNamesAndListsAndRecordsTheStartTime)
{
    TestRuntime test;
    test.execute("seja $nome 1");
    test.execute("lista [l] cria");
    test.ports.time = { 2024, 3, 5, 2, 10, 20, 30, 40 };
    interpreter::reset_interpreter(test.runtime);
    EXPECT_EQ(test.variable("a"), "");
    EXPECT_EQ(test.runtime.variables.name_count(), 0u);
    EXPECT_TRUE(test.execute("lista [l] cria"));
    EXPECT_EQ(test.runtime.start_weekday, 2);
    EXPECT_EQ(test.runtime.start_centiseconds, 10 * 360000 + 20 * 6000 + 30 * 100 + 40);
}

}

namespace {

std::string nested_ifs(int levels)
{
    std::string line;
    for (int i = 0; i < levels; ++i)
        line += "se 1 = 1 ";
    return line + "seja a 9";
}

}

TEST(RunLoop, NestedStatementsHaveADepthLimitInsteadOfExhaustingTheStack)
{
    TestRuntime shallow;
    EXPECT_FALSE(shallow.run({ nested_ifs(60) }).failed);
    EXPECT_EQ(shallow.variable("a"), "9");

    TestRuntime deep;
    auto outcome = deep.run({ nested_ifs(200) });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 1);
    EXPECT_EQ(deep.variable("a"), "");
    // The depth is unwound after the failure: the next statement runs.
    EXPECT_FALSE(deep.run({ nested_ifs(3) }).failed);
    EXPECT_EQ(deep.runtime.nesting_depth, 0);
}
