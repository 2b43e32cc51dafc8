// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the compatibility layer: command interpreter lines, taskkill, programs.
#include "system/command_translation.h"

#include "tests/support/fake_process_launcher.h"
#include "platform/path_map.h"
#include "tests/interpreter/case_table.h"

#include <gtest/gtest.h>

using namespace sys;

namespace {

// A drive C that does not exist, so that paths map by their text alone.
const std::string drive_c = "/nonexistent-corvante-test/c";

std::string with_drive(std::string text)
{
    for (size_t at; (at = text.find("{C}")) != std::string::npos;)
        text.replace(at, 3, drive_c);
    return text;
}

struct Translation : testing::Test {
    Translation()
        : paths(drive_c)
    {
        launcher.add_to_path("mega-ls", "/usr/bin/mega-ls");
        launcher.add_to_path("mega-get", "/usr/bin/mega-get");
        launcher.add_to_path("megarun", "/usr/bin/megarun");
        // Programs in the current folder, which the test does not change.
        for (auto name : { "megaclient", "tocador.exe", "megarun", "echo", "a'b", "l\xC3\xA1" })
            launcher.add_executable(name);
        launcher.add_file("notas");
    }
    platform::PathMap paths;
    platform::FakeProcessLauncher launcher;
};

}

TEST_F(Translation, ShellLinesAsTheTableSays)
{
    auto cases = test_cases::read_case_table("shell_line_cases.txt");
    ASSERT_GT(cases.size(), 10u);
    for (const auto& entry : cases) {
        ASSERT_EQ(entry.fields.size(), 2u) << "table line " << entry.number;
        EXPECT_EQ(translate_shell_line(entry.fields[0], paths, launcher), with_drive(entry.fields[1]))
            << "table line " << entry.number;
    }
}

TEST(CommandInterpreterLine, IsTheTextAfterTheSwitchOfCmdOnly)
{
    EXPECT_EQ(command_interpreter_line("cmd /c dir >x"), "dir >x");
    EXPECT_EQ(command_interpreter_line("CMD.EXE /C  \"a b\" "), "\"a b\"");
    EXPECT_EQ(command_interpreter_line("c:\\windows\\system32\\cmd.exe /k echo"), "echo");
    EXPECT_EQ(command_interpreter_line("\"c:\\my tools\\cmd\" /c echo"), "echo");
    EXPECT_FALSE(command_interpreter_line("cmd /cx"));
    EXPECT_FALSE(command_interpreter_line("cmdx /c echo"));
    EXPECT_FALSE(command_interpreter_line("cmd"));
    EXPECT_FALSE(command_interpreter_line("cmd echo /c"));
}

TEST(TaskKill, ReadsImageNamesIdsAndForce)
{
    auto kill = parse_task_kill("taskkill /f /im megaclient.exe");
    ASSERT_TRUE(kill);
    EXPECT_TRUE(kill->force);
    EXPECT_EQ(kill->image_names, std::vector<std::string> { "megaclient.exe" });

    auto two = parse_task_kill("TASKKILL.EXE /IM a.exe /T /im \"b c.exe\" >nul 2>&1");
    ASSERT_TRUE(two);
    EXPECT_FALSE(two->force);
    EXPECT_EQ(two->image_names, (std::vector<std::string> { "a.exe", "b c.exe" }));

    auto spaced = parse_task_kill("taskkill /im a.exe > nul 2> nul");
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->image_names, std::vector<std::string> { "a.exe" });

    auto by_id = parse_task_kill("taskkill /pid 1234");
    ASSERT_TRUE(by_id);
    EXPECT_EQ(by_id->pids, std::vector<int> { 1234 });

    // Anything else is left to the shell, which has no taskkill.
    EXPECT_FALSE(parse_task_kill("taskkill /f /im x.exe && del y"));
    EXPECT_FALSE(parse_task_kill("taskkill /f /im x.exe|more"));
    EXPECT_FALSE(parse_task_kill("taskkill /f"));
    EXPECT_FALSE(parse_task_kill("taskkill /pid abc"));
    EXPECT_FALSE(parse_task_kill("taskkill /pid -3"));
    EXPECT_FALSE(parse_task_kill("taskkill /fi \"status eq x\""));
    EXPECT_FALSE(parse_task_kill("tasklist"));
}

TEST_F(Translation, ProgramsAreFoundWithoutExeAndTheirDrivePathsMapped)
{
    launcher.add_executable(drive_c + "/nubrado/megacmd/megaclient");
    auto plan = plan_command_line("c:\\nubrado\\megacmd\\megaclient.exe login \"a b\" c:\\x\\y.txt -o=c:\\z", paths, launcher);
    ASSERT_EQ(plan.kind, LaunchPlan::Kind::program);
    EXPECT_EQ(plan.request.executable, drive_c + "/nubrado/megacmd/megaclient");
    EXPECT_EQ(plan.request.arguments,
        (std::vector<std::string> { "megaclient", "login", "a b", drive_c + "/x/y.txt", "-o=c:\\z" }));

    launcher.add_to_path("7za", "/usr/bin/7za");
    auto on_path = plan_command_line("7za.exe x megacmd.7z", paths, launcher);
    ASSERT_EQ(on_path.kind, LaunchPlan::Kind::program);
    EXPECT_EQ(on_path.request.executable, "/usr/bin/7za");

    EXPECT_EQ(plan_command_line("nosuch.exe", paths, launcher).kind, LaunchPlan::Kind::not_found);
    EXPECT_EQ(plan_command_line("c:\\nubrado\\nosuch.exe", paths, launcher).kind, LaunchPlan::Kind::not_found);
    EXPECT_EQ(plan_command_line("   ", paths, launcher).kind, LaunchPlan::Kind::not_found);
}

TEST_F(Translation, CmdLinesGoToTheShellUnderTheInterpretersName)
{
    auto plan = plan_command_line("cmd /c mega-ls >c:\\r 2>&1", paths, launcher);
    ASSERT_EQ(plan.kind, LaunchPlan::Kind::shell_line);
    EXPECT_EQ(plan.request.executable, "/bin/sh");
    EXPECT_EQ(plan.request.arguments, (std::vector<std::string> { "cmd", "-c", "mega-ls >'" + drive_c + "/r' 2>&1" }));

    auto kill = plan_command_line("cmd /c taskkill /f /im megaclient.exe", paths, launcher);
    ASSERT_EQ(kill.kind, LaunchPlan::Kind::task_kill);
    EXPECT_EQ(kill.task_kill.image_names, std::vector<std::string> { "megaclient.exe" });
}

TEST(ShellQuote, KeepsEveryByteLiteral)
{
    EXPECT_EQ(shell_quote("a b"), "'a b'");
    EXPECT_EQ(shell_quote("it's"), "'it'\\''s'");
    EXPECT_EQ(shell_quote(""), "''");
}
