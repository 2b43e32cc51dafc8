// SPDX-License-Identifier: GPL-3.0-or-later
// corvante: runs a Corvante script file with the runtime of the application.
#include "app/console_backends.h"
#include "app/console_host.h"
#include "app/options.h"
#include "app/script_file.h"
#include "app/script_host.h"
#include "app/system_backends.h"
#include "console/file_subsystems.h"
#include "interpreter/run_loop.h"
#include "net/network_state.h"
#include "platform/posix/posix_tcp_network.h"
#include "platform/text_encoding.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv, argv + argc);
    auto options = app::parse_options(arguments, true);
    if (!options) {
        std::fprintf(stderr, "corvante: %s\n%s", options.error().message.c_str(), app::help_text("corvante", true).c_str());
        return app::exit_cannot_start;
    }
    if (options->help) {
        std::fputs(app::help_text("corvante", true).c_str(), stdout);
        return app::exit_normal;
    }
    auto lines = app::read_script_file(options->script_path);
    if (!lines) {
        std::fprintf(stderr, "corvante: %s\n", lines.error().message.c_str());
        return app::exit_cannot_start;
    }

    speech::SpeechLog speech;
    if (!options->speech_log_path.empty() && !speech.open(options->speech_log_path)) {
        std::fprintf(stderr, "corvante: cannot open the speech log '%s'\n", options->speech_log_path.c_str());
        return app::exit_cannot_start;
    }
    std::unique_ptr<platform::Clock> clock;
    if (options->fast)
        clock = std::make_unique<platform::VirtualClock>();
    else
        clock = std::make_unique<platform::SystemClock>();

    // FIXME: the console's VIDEO and BRAILLE values come from the settings
    // file (console::read_console_settings) once the settings are wired
    // here; until then they are the defaults of a missing file.
    console::ConsoleSettings console_settings;
    console_settings.initial_title = arguments[0];
    auto backends = app::ConsoleBackends::create(*options, *clock, console_settings);
    if (!backends) {
        std::fprintf(stderr, "corvante: %s\n", backends.error().message.c_str());
        return app::exit_cannot_start;
    }
    // The console ends the program from inside a wait (window closed,
    // Ctrl+Break, keys run out): the logs are flushed at every write, so
    // only the screen file is left to write.
    (*backends)->console().set_program_end([&backends](int status) {
        (*backends)->finish();
        std::exit(status);
    });
    app::ConsoleHost host((*backends)->console(), speech, *clock);

    interpreter::CommandTable table;
    app::bind_all_statements(table);
    auto runtime = std::make_unique<interpreter::Runtime>(host, table);
    runtime->subsystems.console = &(*backends)->console();
    // Network peers live in real time, also when --fast skips the script's pauses.
    platform::PosixTcpNetwork tcp_network;
    platform::SystemClock network_clock;
    net::NetworkState network(tcp_network, network_clock);
    runtime->subsystems.network = &network;
    console::FileSubsystems files;
    files.attach(runtime->subsystems);
    app::SystemBackends system(options->headless);
    system.attach(runtime->subsystems);
    interpreter::reset_interpreter(*runtime);
    // Arguments arrive in UTF-8; scripts see them, like all their text, in
    // Windows-1252.
    for (const auto& argument : options->arguments)
        runtime->arguments.push_back(platform::utf8_to_windows1252(argument));
    app::start_console(host, "corvante");
    int status = app::run_stored_script(*runtime, host, *lines);
    (*backends)->finish();
    return status;
}
