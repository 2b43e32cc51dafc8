// SPDX-License-Identifier: GPL-3.0-or-later
// Starting programs the four ways EXECUTA knows.
#include "system/program_start.h"

#include "interpreter/runtime.h"
#include "interpreter/text.h"
#include "platform/path_map.h"
#include "base/text_encoding.h"
#include "settings/setting_keys.h"
#include "system/command_translation.h"
#include "system/console_handover.h"
#include "system/process_match.h"
#include "system/system_state.h"
#include "system/windows_command_line.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace sys {

namespace {

using platform::SpawnRequest;

constexpr int return_poll_ms = 100;
constexpr int return_first_phase_polls = 50;
constexpr int child_poll_ms = 50;

bool is_url(std::string_view text)
{
    return text.find("://") != std::string_view::npos || equals_ascii_insensitive(text.substr(0, 7), "mailto:")
        || equals_ascii_insensitive(text.substr(0, 4), "www.");
}

// The command line of a program and its parameters, with the program
// quoted when it holds a blank so that it stays one word.
std::string join_command_line(std::string_view program, std::string_view parameters)
{
    std::string line;
    if (program.find(' ') != std::string_view::npos && !program.starts_with('"'))
        line = "\"" + std::string(program) + "\"";
    else
        line = program;
    if (!parameters.empty()) {
        line += ' ';
        line += parameters;
    }
    return line;
}

// A forced taskkill returns once the processes it ended are gone, as it
// does on Windows: a script that ends a server and starts it again at once
// would otherwise meet the old one still holding its files. Ending takes
// the kernel a moment; two seconds is far more than it needs.
void wait_until_gone(platform::ProcessLauncher& launcher, const std::vector<int>& pids)
{
    constexpr int rounds = 200;
    for (int round = 0; round < rounds && !pids.empty(); ++round) {
        auto running = launcher.list_processes();
        bool any_left = std::any_of(running.begin(), running.end(), [&pids](const platform::ProcessEntry& entry) {
            return std::find(pids.begin(), pids.end(), entry.pid) != pids.end();
        });
        if (!any_left)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void run_task_kill(SystemState& state, const TaskKill& kill)
{
    std::vector<int> ended;
    for (const auto& name : kill.image_names) {
        for (int pid : find_processes(state.launcher(), name)) {
            if (state.launcher().end_process(pid, kill.force))
                ended.push_back(pid);
        }
    }
    for (int pid : kill.pids) {
        if (pid != state.launcher().own_pid() && state.launcher().end_process(pid, kill.force))
            ended.push_back(pid);
    }
    state.launcher().reap_children();
    if (kill.force)
        wait_until_gone(state.launcher(), ended);
}

// A document or an address, handed to the desktop's opener.
std::optional<SpawnRequest> opener_request(
    std::string_view program, const platform::PathMap& paths, platform::ProcessLauncher& launcher)
{
    std::string target;
    if (is_url(program)) {
        target = base::windows1252_to_utf8(program);
    } else {
        target = paths.to_system(program);
        if (target.empty() || !launcher.exists(target))
            return std::nullopt;
    }
    auto opener = launcher.find_in_path("xdg-open");
    if (!opener)
        return std::nullopt;
    return SpawnRequest { *opener, { "xdg-open", target } };
}

// The wait after a plain start: until the started program has come up and
// the user has come back to the console, then the settings' pause. A
// desktop that cannot tell which window is in front (an X server without a
// window manager sets no _NET_ACTIVE_WINDOW) counts as showing the console:
// the first phase then runs out and the second ends at once, as when the
// program never takes the foreground. Without a console window to watch
// (headless runs), the wait lasts until the program has ended.
void wait_for_return(interpreter::Runtime& runtime, SystemState& state, int pid)
{
    auto& desktop = state.desktop();
    auto console = desktop.console_window();
    auto program_in_front = [&] {
        auto front = desktop.foreground_window();
        return front && front != console;
    };
    if (console) {
        for (int poll = 0; poll < return_first_phase_polls; ++poll) {
            if (program_in_front())
                break;
            runtime.world.pause_ms(return_poll_ms);
        }
        while (program_in_front() && !runtime.stop_requested)
            runtime.world.pause_ms(return_poll_ms);
    } else {
        // The program ending leaves the child running, as the window
        // closing while it ran always did.
        while (!state.launcher().wait_for_exit(pid, child_poll_ms) && !runtime.stop_requested)
            runtime.world.pause_ms(1);
    }
    runtime.world.pause_ms(settings::program_return_wait_ms(*runtime.subsystems.settings));
}

bool start_shown(interpreter::Runtime& runtime, SystemState& state, const SpawnRequest& request, bool wait)
{
    auto& launcher = state.launcher();
    if (wait && state.handover()) {
        // The program takes the terminal until it ends.
        state.handover()->leave_terminal();
        auto pid = launcher.spawn_foreground(request);
        if (pid)
            launcher.wait_for_exit(*pid, -1);
        state.handover()->restore_terminal();
        return pid.has_value();
    }
    auto pid = launcher.spawn_detached(request);
    if (!pid)
        return false;
    if (wait)
        wait_for_return(runtime, state, *pid);
    return true;
}

bool start_captured(SystemState& state, const platform::PathMap& paths, std::string_view command_line)
{
    auto plan = plan_command_line(command_line, paths, state.launcher());
    switch (plan.kind) {
    case LaunchPlan::Kind::not_found:
        return false;
    case LaunchPlan::Kind::task_kill:
        state.captured().release();
        run_task_kill(state, plan.task_kill);
        return true;
    case LaunchPlan::Kind::program:
    case LaunchPlan::Kind::shell_line:
        break;
    }
    state.launcher().reap_children();
    auto process = state.launcher().spawn_captured(plan.request);
    if (!process)
        return false;
    state.captured().replace(std::move(*process));
    return true;
}

}

StartWay start_way_for(int ampersands)
{
    switch (ampersands) {
    case 0:
        return StartWay::shown_and_wait;
    case 2:
        return StartWay::hidden;
    case 3:
        return StartWay::captured;
    default:
        return StartWay::shown;
    }
}

int end_named_processes(SystemState& state, std::string_view windows_name, bool force)
{
    int ended = 0;
    for (int pid : find_processes(state.launcher(), windows_name)) {
        if (state.launcher().end_process(pid, force))
            ++ended;
    }
    return ended;
}

bool start_program(interpreter::Runtime& runtime, SystemState& state, const platform::PathMap& paths,
    std::string_view value, StartWay way)
{
    auto parts = split_program_and_parameters(value);
    runtime.speech.wait_until_quiet();
    if (way == StartWay::captured)
        return start_captured(state, paths, join_command_line(parts.program, parts.parameters));

    if (way != StartWay::hidden)
        parts = shell_start_parts(parts.program, parts.parameters);
    if (interpreter::trim(parts.program).empty())
        return false;
    auto plan = is_url(parts.program) ? LaunchPlan {}
                                      : plan_command_line(join_command_line(parts.program, parts.parameters), paths, state.launcher());
    if (plan.kind == LaunchPlan::Kind::task_kill) {
        run_task_kill(state, plan.task_kill);
        return true;
    }
    if (plan.kind == LaunchPlan::Kind::not_found) {
        auto opener = opener_request(interpreter::trim(parts.program), paths, state.launcher());
        if (!opener)
            return false;
        plan.request = std::move(*opener);
    }
    state.launcher().reap_children();
    if (way == StartWay::hidden)
        return state.launcher().spawn_detached(plan.request).has_value();
    return start_shown(runtime, state, plan.request, way == StartWay::shown_and_wait);
}

}
