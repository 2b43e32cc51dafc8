// SPDX-License-Identifier: GPL-3.0-or-later
// TestRuntime: a fresh runtime over recording ports, with the statements bound.
#include "tests/support/test_runtime.h"

#include "console/console_statements.h"
#include "interpreter/list_statements.h"
#include "interpreter/argument_readers.h"
#include "interpreter/statements.h"

namespace test_support {

void bind_core_statements(interpreter::CommandTable& table)
{
    interpreter::bind_interpreter_statements(table);
    console::bind_console_statements(table);
    interpreter::bind_list_statements(table);
}

HeadlessConsole::HeadlessConsole()
    : events(clock, false, {})
    , loop(events, clock)
    , console(loop, screen, clipboard, {})
{
}

ScratchSettings::ScratchSettings()
    : paths((folder / "c").string())
    , settings(paths, settings::SettingsPlaces { folder.path().string(), (folder / "Lumera.ini").string(), folder.path().string() })
{
}

void ScratchSettings::write(std::string_view text) const
{
    ScratchFolder::write(folder / "Lumera.ini", text);
}

namespace {

std::unique_ptr<interpreter::Runtime> make_runtime(RecordingPorts& ports, console::Console& console,
    settings::Settings& settings, interpreter::CommandTable& commands, TestRuntime::Binder binder,
    interpreter::SpeechPort* speech)
{
    binder(commands);
    auto runtime = std::make_unique<interpreter::Runtime>(
        interpreter::Ports { ports, speech ? *speech : ports, ports }, commands);
    interpreter::reset_interpreter(*runtime);
    runtime->subsystems.console = &console;
    runtime->subsystems.settings = &settings;
    return runtime;
}

}

TestRuntime::TestRuntime(Binder binder, interpreter::SpeechPort* speech)
    : runtime_owner(make_runtime(ports, console.console, settings_file.settings, commands, binder, speech))
    , runtime(*runtime_owner)
{
}

interpreter::RunOutcome TestRuntime::run(std::initializer_list<std::string_view> lines)
{
    int number = 0;
    for (auto line : lines)
        runtime.store.store_line(line, ++number);
    return interpreter::run_script(runtime);
}

interpreter::RunOutcome TestRuntime::run_text(std::string_view text)
{
    int number = 0;
    while (!text.empty() && number < interpreter::max_script_lines) {
        size_t end = text.find('\n');
        runtime.store.store_line(text.substr(0, end), ++number);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return interpreter::run_script(runtime);
}

bool TestRuntime::execute(std::string_view line)
{
    return interpreter::execute_line(runtime, line, false);
}

const std::string& TestRuntime::variable(std::string_view name)
{
    auto slot = interpreter::read_target(runtime, name);
    static const std::string nothing;
    return slot ? runtime.variables.text(*slot) : nothing;
}

void TestRuntime::set_variable(std::string_view name, std::string_view value)
{
    auto slot = interpreter::read_target(runtime, name);
    if (slot)
        runtime.variables.set(*slot, value);
}

}
