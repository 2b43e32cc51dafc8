// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleBackends: the platform backends of the console, chosen once at start.
#include "app/console_backends.h"

#include "app/console_window.h"
#include "platform/headless/headless_screen.h"
#include "platform/headless/key_script.h"
#include "platform/headless/scripted_event_source.h"
#include "platform/posix/line_mode_event_source.h"
#include "platform/text_encoding.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace app {

namespace {

// The plain line-mode console shows what is written by copying it to
// standard output. The terminal already shows what the user types, so the
// console's own echo of a typed line is not copied.
class LineModeMirror final : public console::OutputObserver {
public:
    explicit LineModeMirror(const console::Console& console)
        : m_console(console)
    {
    }
    void console_output(std::string_view bytes) override
    {
        if (m_console.echoing())
            return;
        auto utf8 = platform::windows1252_to_utf8(bytes);
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
        std::fflush(stdout);
    }

private:
    const console::Console& m_console;
};

platform::Result<std::string> read_keys_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return platform::Error { "cannot open the keys file '" + path + "'" };
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}

platform::Result<std::unique_ptr<ConsoleBackends>> ConsoleBackends::create(
    const Options& options, platform::Clock& clock, console::ConsoleSettings settings)
{
    std::unique_ptr<ConsoleBackends> backends(new ConsoleBackends);

    std::string keys = options.keys;
    if (!options.keys_file.empty()) {
        auto file = read_keys_file(options.keys_file);
        if (!file)
            return file.error();
        keys += *file;
    }
    auto scripted = platform::parse_key_script(keys);
    if (!scripted)
        return platform::Error { "--keys: " + scripted.error().message };

    bool scripted_keys = !options.keys.empty() || !options.keys_file.empty();
    bool terminal = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    // The window, when asked for, replaces the headless backends below.
    bool headless = options.window || options.headless || scripted_keys || !terminal;
    bool real_time = !options.fast;
    if (headless)
        backends->m_events = std::make_unique<platform::ScriptedEventSource>(clock, real_time, std::move(*scripted));
    else
        backends->m_events = std::make_unique<platform::LineModeEventSource>(STDIN_FILENO, clock, real_time);
    backends->m_sink = std::make_unique<platform::HeadlessScreen>();

    platform::Clipboard* clipboard = &backends->m_clipboard;
    if (options.window) {
        auto window = open_console_window(settings, clock, real_time);
        if (!window)
            return window.error();
        backends->m_events = std::move(window->events);
        backends->m_sink = std::move(window->sink);
        backends->m_window_clipboard = std::move(window->clipboard);
        clipboard = backends->m_window_clipboard.get();
    }

    backends->m_console = std::make_unique<console::Console>(
        *backends->m_events, *backends->m_sink, clock, *clipboard, backends->m_sound, std::move(settings));
    if (!options.log_path.empty()) {
        if (!backends->m_log.open(options.log_path))
            return platform::Error { "cannot open the console log '" + options.log_path + "'" };
        backends->m_console->add_output_observer(&backends->m_log);
    }
    if (!headless) {
        backends->m_mirror = std::make_unique<LineModeMirror>(*backends->m_console);
        backends->m_console->add_output_observer(backends->m_mirror.get());
    }
    backends->m_screen_path = options.screen_path;
    return backends;
}

ConsoleBackends::~ConsoleBackends()
{
    finish();
}

void ConsoleBackends::finish()
{
    // A backend that failed to open leaves no console behind.
    if (m_finished || !m_console)
        return;
    m_finished = true;
    m_console->enter_program_end();
    if (!m_screen_path.empty()) {
        if (std::FILE* file = std::fopen(m_screen_path.c_str(), "wb")) {
            auto text = screen_text(m_console->screen());
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        } else {
            std::fprintf(stderr, "cannot write the screen file '%s'\n", m_screen_path.c_str());
        }
    }
}

std::string screen_text(const console::ScreenBuffer& screen)
{
    std::string text;
    for (int row = 0; row < console::screen_rows; ++row) {
        auto line = screen.row_text(row);
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += platform::windows1252_to_utf8(line);
        text += '\n';
    }
    return text;
}

}
