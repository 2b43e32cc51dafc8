// SPDX-License-Identifier: GPL-3.0-or-later
// The main routine both programs share: options, backends, start-up, one run, the report.
#include "app/console_backends.h"
#include "app/desktop_backends.h"
#include "app/media_backends.h"
#include "app/options.h"
#include "app/program_main.h"
#include "app/startup.h"
#include "app/paths_and_settings.h"
#include "app/script_check.h"
#include "app/script_file.h"
#include "app/script_host.h"
#include "app/speech_backends.h"
#include "app/system_backends.h"
#include "app/system_world.h"
#include "platform/atspi/atspi_accessibility.h"
#include "platform/x11/x11_desktop_input.h"
#include "files/file_subsystems.h"
#include "console/console_terminal.h"
#include "console/menu_state.h"
#include "interpreter/run_loop.h"
#include "net/network_state.h"
#include "platform/posix/posix_tcp_network.h"
#include "speech/speech_log.h"
#include "base/text_encoding.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include <string>
#include <unistd.h>
#include <vector>

namespace app {

namespace {

// How long in all a fast run waits in real time for one captured program.
constexpr uint64_t real_time_budget_ms = 3000;

// Finishes the console; a screen file that could not be written turns a
// good end into a failed one, since whoever asked for it will read it.
int finish_console(ConsoleBackends& backends, const std::string& name, int status)
{
    auto finished = backends.finish();
    if (finished)
        return status;
    std::fprintf(stderr, "%s: %s\n", name.c_str(), finished.error().message.c_str());
    return status == exit_normal ? exit_cannot_start : status;
}

}

int run_program(const Program& program, int argc, char** argv)
{
    std::string name(program.name);
    std::vector<std::string> arguments(argv, argv + argc);
    auto options = parse_options(arguments, program.takes_script);
    if (!options) {
        std::fprintf(stderr, "%s: %s\n%s", name.c_str(), options.error().message.c_str(), help_text(name, program.takes_script).c_str());
        return exit_cannot_start;
    }
    if (options->help) {
        std::fputs(help_text(name, program.takes_script).c_str(), stdout);
        std::printf("\nDesktop found: %s\n", platform::describe_x11_desktop().c_str());
        std::printf("Accessibility: %s\n", platform::describe_atspi_accessibility().c_str());
        return exit_normal;
    }
    if (options->check)
        return check_scripts(options->check_paths, stderr);
    // A settings file named on purpose must be there: running on the
    // defaults instead would look like settings that do not work.
    if (!options->ini_path.empty()) {
        std::ifstream ini(options->ini_path);
        std::error_code error;
        if (!ini || std::filesystem::is_directory(options->ini_path, error)) {
            std::string reason = ini ? "it is a directory" : std::strerror(errno);
            std::fprintf(stderr, "%s: cannot read the settings file '%s': %s\n", name.c_str(),
                options->ini_path.c_str(), reason.c_str());
            return exit_cannot_start;
        }
    }
    std::vector<std::string> lines(program.embedded_lines.begin(), program.embedded_lines.end());
    if (program.takes_script) {
        auto script = read_script_file(options->script_path);
        if (!script) {
            std::fprintf(stderr, "%s: %s\n", name.c_str(), script.error().message.c_str());
            return exit_cannot_start;
        }
        lines = std::move(*script);
    }

    speech::SpeechLog speech;
    if (!options->speech_log_path.empty() && !speech.open(options->speech_log_path)) {
        std::fprintf(stderr, "%s: cannot open the speech log '%s'\n", name.c_str(), options->speech_log_path.c_str());
        return exit_cannot_start;
    }
    std::unique_ptr<platform::Clock> clock;
    platform::VirtualClock* virtual_clock = nullptr;
    if (options->fast) {
        auto fast_clock = std::make_unique<platform::VirtualClock>();
        virtual_clock = fast_clock.get();
        clock = std::move(fast_clock);
    } else
        clock = std::make_unique<platform::SystemClock>();
    // Drives, the path map and Lumera.ini, before anything reads a setting.
    PathsAndSettings paths_and_settings(*options);
    // The start reads its settings from one reading of the file; the
    // script's own reads are fresh again.
    std::optional<settings::HeldSettings> start_readings(std::in_place, paths_and_settings.settings());

    // The console's VIDEO and BRAILLE values, read once as it opens.
    auto console_settings = console::read_console_settings(paths_and_settings.settings());
    console_settings.initial_title = arguments[0];
    auto desktop = DesktopBackends::create(*options, ConsoleBackends::is_headless(*options));
    if (!desktop) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), desktop.error().message.c_str());
        return exit_cannot_start;
    }
    auto backends = ConsoleBackends::create(*options, *clock, console_settings, (*desktop)->shared_clipboard());
    if (!backends) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), backends.error().message.c_str());
        return exit_cannot_start;
    }
    // Output sent to a file or a pipe leaves the user with nothing to see
    // or hear for as long as the script runs: say why.
    if (auto reason = headless_reason(*options, isatty(STDIN_FILENO), isatty(STDOUT_FILENO)); !reason.empty())
        std::fprintf(stderr, "%s: %s\n", name.c_str(), reason.c_str());
    // corvante's user wants to read what the script wrote once it ended;
    // nubrado's screen is its menus, which may go.
    if (program.takes_script)
        (*backends)->keep_text_after_exit();
    // Test runs (--headless) go on without a voice; the user's program ends
    // at start when it has none, after saying so.
    SpeechChoice speech_choice { options->audio, options->headless, options->headless };
    auto speech_backends = SpeechBackends::create(speech_choice, (*backends)->console(), paths_and_settings.settings(),
        paths_and_settings.paths(), *clock, options->speech_log_path.empty() ? nullptr : &speech);
    if (!speech_backends) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), speech_backends.error().message.c_str());
        return exit_cannot_start;
    }
    console::ConsoleTerminal terminal((*backends)->console());
    SystemWorld world((*backends)->loop(), *clock);

    interpreter::CommandTable table;
    bind_all_statements(table);
    auto runtime = std::make_unique<interpreter::Runtime>(
        interpreter::Ports { terminal, (*speech_backends)->speech(), world }, table);
    runtime->text_path = options->text_path;
    paths_and_settings.attach(runtime->subsystems);
    runtime->subsystems.console = &(*backends)->console();
    // Network peers live in real time, also when --fast skips the script's pauses.
    platform::PosixTcpNetwork tcp_network;
    platform::SystemClock network_clock;
    net::NetworkState network(tcp_network, network_clock);
    runtime->subsystems.network = &network;
    files::FileSubsystems files;
    files.attach(runtime->subsystems);
    console::MenuState menu;
    runtime->subsystems.menu = &menu;
    // Only the terminal console watches the terminal's window; headless
    // runs and a window without an X11 id (SDL on Wayland) watch none.
    SystemBackends system((*backends)->handover() == nullptr, (*backends)->window_id());
    system.attach(runtime->subsystems);
    (*desktop)->attach(runtime->subsystems);
    system.use_console((*backends)->console());
    system.state().set_handover((*backends)->handover());
    // A fast run skips pauses, but a captured program lives in real time:
    // while one runs, a pause lasts until it ends (at most the pause's
    // length), so that a script polling for it sees what it wrote instead
    // of running out of patience at once. Each program gets three seconds
    // of such waiting in all; one that runs longer is taken for stuck, and
    // pauses skip again, so a script's patience with it stays fast.
    if (virtual_clock) {
        virtual_clock->set_pacer([&system, paced_pid = 0, spent_ms = uint64_t(0)](uint64_t milliseconds) mutable {
            int pid = system.state().captured().pid();
            if (pid <= 0)
                return;
            if (pid != paced_pid) {
                paced_pid = pid;
                spent_ms = 0;
            }
            uint64_t slice = std::min(milliseconds, real_time_budget_ms - spent_ms);
            if (slice == 0)
                return;
            auto start = std::chrono::steady_clock::now();
            system.state().launcher().wait_for_exit(pid, static_cast<int>(slice));
            auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
            spent_ms = std::min(real_time_budget_ms, spent_ms + std::max<uint64_t>(1, static_cast<uint64_t>(waited.count())));
        });
    }
    world.set_document_opener(&system.state().launcher(), &paths_and_settings.paths());
    interpreter::reset_interpreter(*runtime);
    for (const auto& setting : program.script_settings) {
        std::string value = paths_and_settings.settings().read_setting(setting.section, setting.key);
        if (value.empty())
            value = setting.default_value;
        if (auto slot = runtime->variables.slot_of_name(setting.variable))
            runtime->variables.set(*slot, value);
    }
    // Arguments arrive in UTF-8; scripts see them, like all their text, in
    // Windows-1252.
    for (const auto& argument : options->arguments)
        runtime->arguments.push_back(base::utf8_to_windows1252(argument));
    // Every sound goes through the one output: the console's tone,
    // ALARME and MENSAGEM, the download's click.
    audio::SoundOutput& sound = (*speech_backends)->wave();
    (*backends)->console().set_sound(&sound);
    system.state().set_sound(&sound);
    network.sound = &sound;
    // Music and MIDI play beside speech through the same output.
    MediaBackends media(sound, (*backends)->console(), paths_and_settings.settings(), paths_and_settings.paths());
    media.attach(runtime->subsystems);
    start_up((*backends)->console(), (*speech_backends)->client(), paths_and_settings.settings(), paths_and_settings.paths(), name);
    start_readings.reset();
    // The end of the program asked for from inside a wait (the window
    // closed, Ctrl+Break, the keys ran out) stops the run after the
    // statement that was running; run_stored_script then returns its status.
    (*backends)->loop().set_end_listener([&runtime] { runtime->stop_requested = true; });
    FailureReport failure;
    int status = run_stored_script(*runtime, (*backends)->console(), lines, &failure);
    (*backends)->loop().set_end_listener({});
    if (virtual_clock)
        virtual_clock->set_pacer({});
    (*speech_backends)->client().shutdown_speech();
    (*backends)->console().set_sound(nullptr);
    status = finish_console(**backends, name, status);
    // As compilers do, so that an editor or a terminal user finds the line;
    // after the console is finished, so that it stays below a restored terminal.
    if (program.takes_script && failure.line > 0) {
        std::string reason = base::windows1252_to_utf8(interpreter::failure_text(failure.reason));
        std::fprintf(stderr, "%s:%d: %s\n", options->script_path.c_str(), failure.line, reason.c_str());
    }
    return status;
}

}
