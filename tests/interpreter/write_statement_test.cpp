// SPDX-License-Identifier: GPL-3.0-or-later
// The console form of ESCREVE: values joined, line end unless "&", speech unless "MUDO".
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

namespace {

using test_support::TestRuntime;

TEST(Write, JoinsTheValuesWritesALineEndAndSpeaks)
{
    TestRuntime test;
    test.set_variable("b", "beta");
    ASSERT_TRUE(test.execute("escreve \"alfa \" 1 b (2*3)"));
    EXPECT_EQ(test.ports.console, "alfa 1beta6\r\n");
    EXPECT_EQ(test.ports.speech, std::vector<std::string> { "alfa 1beta6" });
}

TEST(Write, AloneWritesAnEmptyLineAndSaysNothing)
{
    TestRuntime test;
    ASSERT_TRUE(test.execute("escreve"));
    EXPECT_EQ(test.ports.console, "\r\n");
    EXPECT_TRUE(test.ports.speech.empty());
}

TEST(Write, AmpersandKeepsTheCursorAfterTheText)
{
    TestRuntime test;
    ASSERT_TRUE(test.execute("escreve \"a\" &"));
    ASSERT_TRUE(test.execute("escreve \"b\"&"));
    ASSERT_TRUE(test.execute("escreve &"));
    EXPECT_EQ(test.ports.console, "ab");
    EXPECT_EQ(test.ports.speech, (std::vector<std::string> { "a", "b" }));
}

TEST(Write, MudoWritesWithoutSpeaking)
{
    TestRuntime test;
    ASSERT_TRUE(test.execute("escreve mudo \"x\""));
    ASSERT_TRUE(test.execute("ESCREVE Mudo\"y\" &"));
    EXPECT_EQ(test.ports.console, "x\r\ny");
    EXPECT_TRUE(test.ports.speech.empty());
}

TEST(Write, TextThatIsNoValueFailsAfterWritingWhatWasRead)
{
    TestRuntime test;
    EXPECT_FALSE(test.execute("escreve \"a\" 1 ? 2"));
    EXPECT_EQ(test.ports.console, "a1\r\n");
    EXPECT_EQ(test.ports.speech, std::vector<std::string> { "a1" });
}

TEST(Write, WaitsWhileSpeechIsBusyUnlessAKeyIsWaiting)
{
    TestRuntime test;
    test.ports.busy_answers = 3;
    ASSERT_TRUE(test.execute("escreve \"a\""));
    EXPECT_EQ(test.ports.busy_answers, 0);
    EXPECT_GT(test.ports.paused_ms, 0);

    TestRuntime with_key;
    with_key.ports.busy_answers = 3;
    with_key.ports.push_keys("x");
    ASSERT_TRUE(with_key.execute("escreve \"a\""));
    EXPECT_EQ(with_key.ports.paused_ms, 1); // only the reset's pause
    EXPECT_EQ(with_key.ports.keys.size(), 1u);
}

TEST(Write, ResetsTheIoStatus)
{
    TestRuntime test;
    test.runtime.io_status = 5;
    ASSERT_TRUE(test.execute("escreve 1"));
    EXPECT_EQ(test.runtime.io_status, 0);
}

TEST(Write, AHashWithoutADigitIsAFileError)
{
    TestRuntime test;
    EXPECT_FALSE(test.execute("escreve #x 1"));
    EXPECT_EQ(test.ports.console, "Erro no processamento de arquivo\r\n");
}

}
