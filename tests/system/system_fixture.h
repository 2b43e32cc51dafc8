// SPDX-License-Identifier: GPL-3.0-or-later
// A runtime with the system commands bound over fake backends.
#pragma once

#include "platform/desktop.h"
#include "tests/support/fake_parallel_port.h"
#include "tests/support/fake_process_launcher.h"
#include "platform/path_map.h"
#include "system/console_handover.h"
#include "system/system_state.h"
#include "system/system_statements.h"
#include "tests/support/recording_sound_output.h"
#include "tests/support/test_runtime.h"

#include <filesystem>
#include <unistd.h>

namespace system_tests {

class FakeDesktop final : public platform::Desktop {
public:
    std::optional<uint64_t> console_window() override { return console; }
    std::optional<uint64_t> foreground_window() override
    {
        ++foreground_asks;
        if (front_after_asks.empty())
            return front;
        auto next = front_after_asks.front();
        front_after_asks.erase(front_after_asks.begin());
        return next;
    }
    std::string foreground_title() override { return title; }

    std::optional<uint64_t> console;
    std::optional<uint64_t> front;
    // Answers of foreground_window, one per call, before `front` applies.
    std::vector<std::optional<uint64_t>> front_after_asks;
    int foreground_asks = 0;
    std::string title;
};

using RecordingSound = test_support::RecordingSoundOutput;

class RecordingHandover final : public sys::ConsoleHandover {
public:
    void leave_terminal() override { events += "leave;"; }
    void restore_terminal() override { events += "restore;"; }
    std::string events;
};

inline void bind_with_system(interpreter::CommandTable& table)
{
    test_support::bind_core_statements(table);
    sys::bind_system_statements(table);
}

// Drive C is a scratch folder of the test.
struct SystemFixture {
    SystemFixture()
        : drive_c(std::filesystem::temp_directory_path() / ("corvante-system-" + std::to_string(getpid())))
        , paths((std::filesystem::create_directories(drive_c), drive_c.string()))
        , ports(nullptr)
        , state(launcher, desktop, ports)
        , test(bind_with_system)
    {
        test.runtime.subsystems.paths = &paths;
        test.runtime.subsystems.system = &state;
        test.runtime.subsystems.captured_output = &state;
        test.ports.paused_ms = 0;
    }
    ~SystemFixture()
    {
        std::error_code ignored;
        std::filesystem::remove_all(drive_c, ignored);
    }

    std::filesystem::path drive_c;
    platform::PathMap paths;
    platform::FakeProcessLauncher launcher;
    FakeDesktop desktop;
    platform::FakePortOpener ports;
    sys::SystemState state;
    test_support::TestRuntime test;
};

}
