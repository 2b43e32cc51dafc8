// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of finding processes by the Windows-style name a script gives.
#include "system/process_match.h"

#include "tests/support/fake_process_launcher.h"

#include <gtest/gtest.h>

using namespace sys;
using platform::ProcessEntry;

namespace {

ProcessEntry entry(int pid, std::string executable, std::string short_name, std::vector<std::string> words)
{
    return ProcessEntry { pid, std::move(executable), std::move(short_name), std::move(words) };
}

}

TEST(ProcessMatch, MatchesExecutableOrFirstWordWithOrWithoutExeInAnyCase)
{
    auto client = entry(10, "megaclient", "megaclient", { "/opt/mega/megaclient", "login" });
    EXPECT_TRUE(process_matches(client, "megaclient.exe"));
    EXPECT_TRUE(process_matches(client, "MEGACLIENT.EXE"));
    EXPECT_TRUE(process_matches(client, "  megaclient  "));
    EXPECT_TRUE(process_matches(client, "c:\\nubrado\\megacmd\\megaclient.exe"));
    EXPECT_FALSE(process_matches(client, "megaclien"));
    EXPECT_FALSE(process_matches(client, "login"));
    EXPECT_FALSE(process_matches(client, ""));

    // The command interpreter's shell runs as "cmd" in its first word.
    auto shell = entry(11, "dash", "cmd", { "cmd", "-c", "mega-ls" });
    EXPECT_TRUE(process_matches(shell, "cmd.exe"));
    EXPECT_FALSE(process_matches(shell, "mega-ls"));
}

TEST(ProcessMatch, FindsLongNamesThatTheShortNameCuts)
{
    auto server = entry(12, "mega-cmd-server-long", "mega-cmd-server", { "./mega-cmd-server-long" });
    EXPECT_TRUE(process_matches(server, "mega-cmd-server-long.exe"));
    EXPECT_FALSE(process_matches(server, "mega-cmd-server.exe"));
}

TEST(ProcessMatch, FindsAScriptStartedThroughItsInterpreterLine)
{
    auto script = entry(13, "dash", "uniq_probe_scri", { "/bin/sh", "./uniq_probe_script", "x" });
    EXPECT_TRUE(process_matches(script, "uniq_probe_script.exe"));
    EXPECT_TRUE(process_matches(script, "sh"));
    // A second word is only the script when the kernel's name says so.
    auto sleeper = entry(14, "sleep", "sleep", { "sleep", "uniq_probe_script" });
    EXPECT_FALSE(process_matches(sleeper, "uniq_probe_script"));
}

TEST(ProcessMatch, NeverFindsThisProcess)
{
    platform::FakeProcessLauncher launcher;
    launcher.add_process(entry(1, "corvante", "corvante", { "corvante" }));
    launcher.add_process(entry(20, "corvante", "corvante", { "corvante" }));
    EXPECT_EQ(find_processes(launcher, "corvante.exe"), std::vector<int> { 20 });
}
