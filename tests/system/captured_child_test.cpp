// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the captured child's pipes: how waiting output is joined and sent lines.
#include "system/captured_child.h"

#include "tests/support/fake_process_launcher.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace sys;

namespace {

struct Captured : testing::Test {
    Captured()
    {
        launcher.add_executable("/bin/child");
        auto process = launcher.spawn_captured({ "/bin/child", { "child" } });
        pid = process->pid;
        child.replace(std::move(*process));
    }
    void child_writes(int fd, std::string_view text) { ASSERT_EQ(::write(fd, text.data(), text.size()), ssize_t(text.size())); }
    int output() { return launcher.child_ends(pid).output.get(); }
    int error() { return launcher.child_ends(pid).error.get(); }

    platform::FakeProcessLauncher launcher;
    CapturedChild child;
    int pid = 0;
};

}

TEST_F(Captured, OutputAndErrorAreJoinedWithLineEnds)
{
    EXPECT_EQ(child.read_output(launcher), "");
    child_writes(output(), "a");
    EXPECT_EQ(child.read_output(launcher), "a\r\n\r\n");
    child_writes(error(), "e");
    EXPECT_EQ(child.read_output(launcher), "e\r\n");
    child_writes(output(), "out\n");
    child_writes(error(), "err\n");
    EXPECT_EQ(child.read_output(launcher), "out\n\r\nerr\n\r\n");
    EXPECT_EQ(child.read_output(launcher), "");
}

TEST_F(Captured, TakesAtMost65535BytesOfEachStreamPerRead)
{
    std::string full(65536, 'x');
    child_writes(output(), full);
    auto first = child.read_output(launcher);
    EXPECT_EQ(first.size(), 65535u + 4);
    EXPECT_EQ(child.read_output(launcher), "x\r\n\r\n");
}

TEST_F(Captured, Utf8OutputBecomesTheRuntimesText)
{
    child_writes(output(), "a\xC3\xA7\xC3\xA3o");
    EXPECT_EQ(child.read_output(launcher), "a\xE7\xE3o\r\n\r\n");
}

TEST_F(Captured, SentLinesEndInLineFeedAndGoOutAsUtf8)
{
    child.send_line(launcher, "sim \xE9");
    char buffer[64] = {};
    auto count = ::read(launcher.child_ends(pid).input.get(), buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(count)), "sim \xC3\xA9\n");
}

TEST_F(Captured, ReplacingTheChildClosesTheOldPipeEnds)
{
    auto second = launcher.spawn_captured({ "/bin/child", { "child" } });
    ASSERT_TRUE(second);
    child.replace(std::move(*second));
    // The first child now sees the end of its input.
    char byte;
    EXPECT_EQ(::read(launcher.child_ends(pid).input.get(), &byte, 1), 0);
    child.release();
    EXPECT_FALSE(child.is_open());
    EXPECT_EQ(child.read_output(launcher), "");
    child.send_line(launcher, "nobody listens");
}
