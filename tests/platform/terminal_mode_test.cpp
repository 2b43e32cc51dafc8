// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of raw mode and the terminal event source on a pseudo-terminal the test opens.
#include "platform/posix/terminal_event_source.h"
#include "platform/posix/terminal_mode.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <poll.h>
#include <cstring>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using platform::Event;
using platform::Key;

// A pseudo-terminal pair: the test plays the user on the controller side.
struct PseudoTerminal {
    PseudoTerminal()
    {
        winsize size {};
        size.ws_col = 80;
        size.ws_row = 25;
        EXPECT_EQ(openpty(&controller, &device, nullptr, nullptr, &size), 0) << std::strerror(errno);
    }
    ~PseudoTerminal()
    {
        if (controller >= 0)
            close(controller);
        if (device >= 0)
            close(device);
    }
    void type(std::string_view bytes) const { ASSERT_EQ(write(controller, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
    // What the program wrote, so that the buffer never fills.
    std::string drain() const
    {
        std::string text;
        char buffer[4096];
        pollfd readable { controller, POLLIN, 0 };
        while (poll(&readable, 1, 0) > 0 && (readable.revents & POLLIN)) {
            auto got = read(controller, buffer, sizeof buffer);
            if (got <= 0)
                break;
            text.append(buffer, static_cast<size_t>(got));
        }
        return text;
    }
    termios settings() const
    {
        termios now {};
        tcgetattr(device, &now);
        return now;
    }
    int controller = -1;
    int device = -1;
};

bool same_settings(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag
        && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

std::vector<Event> wait_for_events(platform::TerminalEventSource& source, size_t count)
{
    std::vector<Event> events;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (events.size() < count && std::chrono::steady_clock::now() < deadline) {
        source.wait(50);
        while (auto event = source.next_event())
            events.push_back(*event);
    }
    return events;
}

TEST(TerminalMode, RawWhileOpenAndRestoredAfterwards)
{
    PseudoTerminal terminal;
    auto before = terminal.settings();
    {
        auto mode = platform::TerminalMode::create(terminal.device, terminal.device);
        ASSERT_TRUE(mode) << mode.error().message;
        auto raw = terminal.settings();
        EXPECT_FALSE(raw.c_lflag & (ICANON | ECHO | ISIG));
        EXPECT_TRUE(terminal.drain().find("\x1B[?1049h") != std::string::npos);
        EXPECT_FALSE(platform::TerminalMode::create(terminal.device, terminal.device)) << "two at once";

        (*mode)->suspend();
        EXPECT_TRUE(same_settings(terminal.settings(), before)) << "the program started meanwhile gets raw mode";
        (*mode)->resume();
        EXPECT_FALSE(terminal.settings().c_lflag & ICANON);
        terminal.drain();
    }
    EXPECT_TRUE(same_settings(terminal.settings(), before));
    EXPECT_TRUE(terminal.drain().find("\x1B[?1049l") != std::string::npos);
}

// A crash of our own code must leave the user's terminal as it was: the
// handler restores the settings and the crash still ends the process.
TEST(TerminalMode, ACrashRestoresTheTerminalAndStillCrashes)
{
    PseudoTerminal terminal;
    auto before = terminal.settings();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto mode = platform::TerminalMode::create(terminal.device, terminal.device);
        if (!mode)
            _exit(10);
        raise(SIGSEGV);
        _exit(11);
    }
    std::string output;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        output += terminal.drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    output += terminal.drain();
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
    EXPECT_TRUE(same_settings(terminal.settings(), before));
    EXPECT_NE(output.find("\x1B[?1049l"), std::string::npos) << "the alternate screen was not left";
}

TEST(TerminalMode, AnExitFromAnywhereRestoresTheTerminal)
{
    PseudoTerminal terminal;
    auto before = terminal.settings();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto mode = platform::TerminalMode::create(terminal.device, terminal.device);
        std::exit(mode ? 0 : 10); // no destructor runs
    }
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        terminal.drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(same_settings(terminal.settings(), before));
}

TEST(TerminalEventSource, ALoneEscIsAKeyOnceTheTimeoutPasses)
{
    PseudoTerminal terminal;
    auto mode = platform::TerminalMode::create(terminal.device, terminal.device);
    ASSERT_TRUE(mode);
    platform::SystemClock clock;
    platform::TerminalEventSource source(**mode, clock, true, {});
    terminal.drain();
    terminal.type("\x1B");
    auto events = wait_for_events(source, 1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, Event::Type::KeyPress);
    EXPECT_EQ(events[0].key, Key::Escape);

    terminal.type("\x1B[A");
    events = wait_for_events(source, 1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].key, Key::Up);
}

TEST(TerminalEventSource, WithoutKeyReleasesTheChordKeyboardIsRefusedAndExplained)
{
    PseudoTerminal terminal;
    auto mode = platform::TerminalMode::create(terminal.device, terminal.device);
    ASSERT_TRUE(mode);
    platform::SystemClock clock;
    std::vector<std::string> notes;
    platform::TerminalEventSource source(**mode, clock, true,
        { .resized = {}, .tell_user = [&notes](std::string_view text) { notes.emplace_back(text); } });
    // The terminal answers only the device-attributes query: no kitty protocol.
    terminal.type("\x1B[?62;22c");
    EXPECT_FALSE(source.start_keyboard());
    EXPECT_FALSE(source.reports_key_releases());
    EXPECT_NE(terminal.drain().find("\x1B[>4;1m"), std::string::npos) << "extended keys not asked for";

    terminal.type("\x1B[23;7~"); // Ctrl+Alt+F11
    terminal.type("x");
    auto events = wait_for_events(source, 2);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].key, Key::X) << "Ctrl+Alt+F11 reached the console";
    // The first key takes away any note shown at the start (a terminal
    // smaller than the console); Ctrl+Alt+F11 then brings its own, which
    // the next key takes away.
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_TRUE(notes[0].empty());
    EXPECT_EQ(notes[1], platform::braille_keyboard_unavailable_note);
    EXPECT_TRUE(notes[2].empty()) << "the note stays after the next key";
}

TEST(TerminalEventSource, AHangUpEndsTheSupplyOfKeys)
{
    PseudoTerminal terminal;
    auto mode = platform::TerminalMode::create(terminal.device, terminal.device);
    ASSERT_TRUE(mode);
    platform::SystemClock clock;
    platform::TerminalEventSource source(**mode, clock, true, {});
    EXPECT_EQ(source.request_key(), platform::KeySupply::Coming);
    close(terminal.controller);
    terminal.controller = -1;
    auto events = wait_for_events(source, 1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, Event::Type::CloseRequested);
    EXPECT_EQ(source.request_key(), platform::KeySupply::Exhausted);
    EXPECT_FALSE(source.keys_may_come());
    (*mode)->restore(); // writes to a terminal that is gone: quietly
}

}
