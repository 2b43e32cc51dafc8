// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of splitting command lines the Windows way and of EXECUTA's program split.
#include "system/windows_command_line.h"

#include "tests/interpreter/case_table.h"

#include <gtest/gtest.h>

using namespace sys;

TEST(WindowsCommandLine, SplitsAsTheTableSays)
{
    auto cases = test_cases::read_case_table("command_line_cases.txt");
    ASSERT_GT(cases.size(), 10u);
    for (const auto& entry : cases) {
        std::vector<std::string> expected(entry.fields.begin() + 1, entry.fields.end());
        EXPECT_EQ(split_windows_command_line(entry.fields[0]), expected) << "table line " << entry.number;
    }
}

TEST(WindowsCommandLine, SplitsExecutaValueIntoProgramAndParameters)
{
    auto quoted = split_program_and_parameters("\"c:\\program files\\x.exe\"   -a b ");
    EXPECT_EQ(quoted.program, "c:\\program files\\x.exe");
    EXPECT_EQ(quoted.parameters, "-a b");
    auto unclosed = split_program_and_parameters("\"c:\\x y");
    EXPECT_EQ(unclosed.program, "c:\\x y");
    EXPECT_EQ(unclosed.parameters, "");
    auto plain = split_program_and_parameters("megaclient login a b");
    EXPECT_EQ(plain.program, "megaclient");
    EXPECT_EQ(plain.parameters, "login a b");
    auto alone = split_program_and_parameters("notepad");
    EXPECT_EQ(alone.program, "notepad");
    EXPECT_EQ(alone.parameters, "");
}

TEST(WindowsCommandLine, ShellStartMovesTextAfterTheQuoteInFrontOfTheParameters)
{
    auto parts = shell_start_parts(" \"c:\\a b\\p.exe\" -x ", "y");
    EXPECT_EQ(parts.program, "c:\\a b\\p.exe");
    EXPECT_EQ(parts.parameters, "-x y");
    auto unquoted = shell_start_parts("p.exe", "y");
    EXPECT_EQ(unquoted.program, "p.exe");
    EXPECT_EQ(unquoted.parameters, "y");
}

TEST(WindowsCommandLine, NamesCompareWithoutExeAndAsciiCase)
{
    EXPECT_EQ(without_exe_suffix("megaclient.EXE"), "megaclient");
    EXPECT_EQ(without_exe_suffix(".exe"), ".exe");
    EXPECT_EQ(file_name_part("c:\\a/b\\cmd.exe"), "cmd.exe");
    EXPECT_TRUE(equals_ascii_insensitive("MegaClient", "MEGACLIENT"));
    // Only ASCII letters fold: an accented capital is not its small letter.
    EXPECT_FALSE(equals_ascii_insensitive("\xC7", "\xE7"));
}
