// SPDX-License-Identifier: GPL-3.0-or-later
// LISTA: creating, filling, reading and deleting named lists.
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

namespace {

using test_support::TestRuntime;

TEST(List, ItemsByPositionFromZero)
{
    TestRuntime test;
    for (const char* line : { "lista [l] cria", "lista [l] tamanho n", "lista [l] adiciona \"a\"",
             "lista [l] ADICIONA \"b\"", "lista [l] adiciona \"c\" ignorado", "lista [l] item 0 x", "lista [l] item 2 y",
             "lista [l] Tamanho m" })
        ASSERT_TRUE(test.execute(line)) << line;
    EXPECT_EQ(test.variable("n"), "0");
    EXPECT_EQ(test.variable("x"), "a");
    EXPECT_EQ(test.variable("y"), "c");
    EXPECT_EQ(test.variable("m"), "3");
    for (const char* line : { "lista [l] item 3 x", "lista [l] item -1 x", "lista [l] item \"a\" x", "lista [l] item 0",
             "lista [l] tamanho", "lista [l] adiciona", "lista [l] outro", "lista [l]", "lista l cria", "lista",
             "lista [nada] tamanho n", "lista [nada] adiciona 1", "lista [nada] item 0 x" })
        EXPECT_FALSE(test.execute(line)) << line;
    EXPECT_EQ(test.ports.console, "");
}

TEST(List, NamesAreCaseSensitiveAndUnique)
{
    TestRuntime test;
    ASSERT_TRUE(test.execute("lista [Nomes] cria"));
    ASSERT_TRUE(test.execute("lista [NOMES] cria"));
    EXPECT_FALSE(test.execute("lista [Nomes] cria"));
    EXPECT_EQ(test.ports.console_lines(), "A lista especificada j\xE1 existe\n");
    EXPECT_EQ(test.ports.speech, std::vector<std::string> { "A lista especificada j\xE1 existe" });
    EXPECT_FALSE(test.execute("lista [x] cria agora"));
}

TEST(List, TwentyListsAtMostAndFreedSlotsAreReused)
{
    TestRuntime test;
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(test.execute("lista [l" + std::to_string(i) + "] cria")) << i;
    EXPECT_FALSE(test.execute("lista [extra] cria"));
    EXPECT_EQ(test.ports.console_lines(), "Muitas listas no programa (m\xE1ximo 20)\n");
    EXPECT_FALSE(test.execute("lista [l3] apaga agora"));
    ASSERT_TRUE(test.execute("lista [l3] apaga"));
    EXPECT_FALSE(test.execute("lista [l3] apaga"));
    EXPECT_FALSE(test.execute("lista [l3] tamanho n"));
    ASSERT_TRUE(test.execute("lista [extra] cria"));
}

TEST(List, DeleteRemovesTheFirstEqualItemIgnoringCase)
{
    TestRuntime test;
    for (const char* line : { "lista [l] cria", "lista [l] adiciona \"a\"", "lista [l] adiciona \"b\"",
             "lista [l] adiciona \"B\"", "lista [l] deleta \"B\"", "lista [l] item 1 x" })
        ASSERT_TRUE(test.execute(line)) << line;
    EXPECT_EQ(test.variable("x"), "B");
    EXPECT_FALSE(test.execute("lista [l] deleta \"z\""));
    EXPECT_FALSE(test.execute("lista [l] deleta"));
}

TEST(List, DeleteFoldsTheAccentedLettersOfTheCodePageOnly)
{
    TestRuntime test;
    ASSERT_TRUE(test.execute("lista [l] cria"));
    for (const char* item : { "\xE7\xE3o", "\x9A", "\x9C", "\xFF", "\xD7" })
        ASSERT_TRUE(test.execute(std::string("lista [l] adiciona \"") + item + "\""));
    // Upper and lower case of the same letter are equal.
    EXPECT_TRUE(test.execute("lista [l] deleta \"\xC7\xC3O\""));
    EXPECT_TRUE(test.execute("lista [l] deleta \"\x8A\"")); // Š finds š
    EXPECT_TRUE(test.execute("lista [l] deleta \"\x8C\"")); // Œ finds œ
    // ß is no capital ÿ, and ÷ is no lower-case ×.
    EXPECT_FALSE(test.execute("lista [l] deleta \"\xDF\""));
    EXPECT_FALSE(test.execute("lista [l] deleta \"\xF7\""));
    EXPECT_TRUE(test.execute("lista [l] deleta \"\x9F\"")); // Ÿ finds ÿ
    EXPECT_TRUE(test.execute("lista [l] deleta \"\xD7\""));
    ASSERT_TRUE(test.execute("lista [l] tamanho n"));
    EXPECT_EQ(test.variable("n"), "0");
}

TEST(List, ReachesConditionsThroughEm)
{
    TestRuntime test;
    auto outcome = test.run({ "lista [l] cria", "lista [l] adiciona 7", "se \"007\" em [l] escreve \"sim\"",
        "lista [l] apaga", "se 7 em [l] escreve \"n\xE3o\"" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.line, 5);
    EXPECT_EQ(test.ports.console_lines(), "sim\n");
}

}
