// SPDX-License-Identifier: GPL-3.0-or-later
// TestRuntime: a fresh runtime over recording ports, with the statements bound.
#pragma once

#include "console/console.h"
#include "interpreter/command_table.h"
#include "interpreter/run_loop.h"
#include "interpreter/runtime.h"
#include "platform/clock.h"
#include "platform/headless/headless_screen.h"
#include "platform/headless/memory_clipboard.h"
#include "platform/headless/scripted_event_source.h"
#include "platform/path_map.h"
#include "settings/settings.h"
#include "tests/support/recording_ports.h"
#include "tests/support/scratch_folder.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

namespace test_support {

// The interpreter's statements with ESCREVE and LISTA: the core language,
// which needs no subsystem state.
void bind_core_statements(interpreter::CommandTable& table);

// The console every runtime has, over headless backends. No key ever comes
// through it: a test types its keys into the recording ports.
struct HeadlessConsole {
    HeadlessConsole();

    platform::VirtualClock clock;
    platform::ScriptedEventSource events;
    platform::HeadlessScreen screen;
    platform::MemoryClipboard clipboard;
    console::EventLoop loop;
    console::Console console;
};

// The settings every runtime has: a settings file of the test's own, in a
// scratch folder, missing (every value at its default) until written.
struct ScratchSettings {
    ScratchSettings();
    void write(std::string_view text) const;

    ScratchFolder folder;
    platform::PathMap paths;
    settings::Settings settings;
};

// Usage:
//     TestRuntime test;
//     auto outcome = test.run({ "seja a 1", "escreve a" });
//     EXPECT_EQ(test.ports.console_lines(), "1\n");
// The runtime is reset as at program start. Pass another binder to bind more
// statements (their subsystems are then the caller's to set up), and a
// speech port to speak through another speech than the recording one.
class TestRuntime {
public:
    using Binder = void (*)(interpreter::CommandTable&);
    explicit TestRuntime(Binder binder = bind_core_statements, interpreter::SpeechPort* speech = nullptr);
    TestRuntime(const TestRuntime&) = delete;
    TestRuntime& operator=(const TestRuntime&) = delete;

    // Stores the lines as lines 1, 2, ... and runs them.
    interpreter::RunOutcome run(std::initializer_list<std::string_view> lines);
    // The same for a text whose lines end with "\n".
    interpreter::RunOutcome run_text(std::string_view text);
    // One line, as the run loop executes it (not nested).
    bool execute(std::string_view line);

    // The text of a variable named as in a script: "a" or "$nome".
    const std::string& variable(std::string_view name);
    void set_variable(std::string_view name, std::string_view value);
    // Replaces the text of the runtime's settings file.
    void write_settings(std::string_view text) const { settings_file.write(text); }

    RecordingPorts ports;
    HeadlessConsole console;
    ScratchSettings settings_file;
    interpreter::CommandTable commands;
    std::unique_ptr<interpreter::Runtime> runtime_owner;
    interpreter::Runtime& runtime;
};

}
