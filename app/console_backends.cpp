// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleBackends: the platform backends of the console, chosen once at start.
#include "app/console_backends.h"

#include "app/console_window.h"
#include "platform/headless/headless_screen.h"
#include "platform/headless/key_script.h"
#include "platform/brlapi/brlapi_display.h"
#include "platform/headless/scripted_event_source.h"
#include "platform/posix/terminal_event_source.h"
#include "platform/posix/terminal_screen.h"
#include "base/text_encoding.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace app {

namespace {

// A program started in the foreground takes the terminal as the user set
// it up; the console's screen is drawn again whole once it comes back.
class TerminalHandover final : public sys::ConsoleHandover {
public:
    TerminalHandover(platform::TerminalMode& mode, platform::TerminalScreen& screen)
        : m_mode(mode)
        , m_screen(screen)
    {
    }
    void leave_terminal() override { m_mode.suspend(); }
    void restore_terminal() override
    {
        m_mode.resume();
        m_screen.invalidate();
        m_screen.present();
    }

private:
    platform::TerminalMode& m_mode;
    platform::TerminalScreen& m_screen;
};

base::Result<std::string> read_keys_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return base::Error { "cannot open the keys file '" + path + "'" };
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}

std::string headless_reason(const Options& options, bool input_is_terminal, bool output_is_terminal)
{
    bool scripted_keys = !options.keys.empty() || !options.keys_file.empty();
    if (options.window || options.headless || scripted_keys || (input_is_terminal && output_is_terminal))
        return {};
    const char* which = output_is_terminal ? "standard input is not a terminal"
        : input_is_terminal                ? "standard output is not a terminal"
                                           : "standard input and output are not terminals";
    return std::string("running headless (no screen, no keyboard): ") + which
        + "; use --window for a window, or --headless to say so";
}

bool ConsoleBackends::is_headless(const Options& options)
{
    bool scripted_keys = !options.keys.empty() || !options.keys_file.empty();
    bool terminal = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    return !options.window && (options.headless || scripted_keys || !terminal);
}

base::Result<std::unique_ptr<ConsoleBackends>> ConsoleBackends::create(const Options& options,
    platform::Clock& clock, console::ConsoleSettings settings, platform::Clipboard* desktop_clipboard)
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
        return base::Error { "--keys: " + scripted.error().message };

    bool scripted_keys = !options.keys.empty() || !options.keys_file.empty();
    bool terminal = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    // The window, when asked for, replaces the headless backends below.
    bool headless = options.window || options.headless || scripted_keys || !terminal;
    bool real_time = !options.fast;
    if (headless) {
        auto events = std::make_unique<platform::ScriptedEventSource>(clock, real_time, std::move(*scripted));
        backends->m_scripted_events = events.get();
        backends->m_events = std::move(events);
        backends->m_sink = std::make_unique<platform::HeadlessScreen>();
    } else {
        auto mode = platform::TerminalMode::create(STDIN_FILENO, STDOUT_FILENO);
        if (!mode)
            return mode.error();
        backends->m_terminal = std::move(*mode);
        auto& terminal = *backends->m_terminal;
        const char* colour_terminal = std::getenv("COLORTERM");
        bool true_colour = colour_terminal
            && (std::string_view(colour_terminal) == "truecolor" || std::string_view(colour_terminal) == "24bit");
        auto screen = std::make_unique<platform::TerminalScreen>(
            [&terminal](std::string_view bytes) { terminal.write(bytes); },
            [&terminal] { return terminal.size(); }, true_colour);
        auto* shown = screen.get();
        platform::TerminalEventSource::Callbacks callbacks {
            .resized = [shown] { shown->present(); },
            .tell_user = [shown](std::string_view note) {
                shown->set_status(note);
                shown->present();
            },
        };
        auto events = std::make_unique<platform::TerminalEventSource>(terminal, clock, real_time, std::move(callbacks));
        // Chords need key releases, which only the kitty protocol reports.
        if (!events->start_keyboard() && settings.braille_keyboard_mode != 0) {
            settings.braille_keyboard_mode = 0;
            events->tell_user(platform::braille_keyboard_unavailable_note);
        }
        backends->m_handover = std::make_unique<TerminalHandover>(terminal, *screen);
        backends->m_events = std::move(events);
        backends->m_sink = std::move(screen);
    }

    platform::Clipboard* clipboard = desktop_clipboard ? desktop_clipboard : &backends->m_clipboard;
    if (options.window) {
        auto window = open_console_window(settings, clock, real_time);
        if (!window)
            return window.error();
        backends->m_events = std::move(window->events);
        backends->m_scripted_events = nullptr;
        backends->m_sink = std::move(window->sink);
        backends->m_window_clipboard = std::move(window->clipboard);
        backends->m_window_id = window->native_window;
        // The window's own clipboard lasts only as long as the window.
        if (!desktop_clipboard)
            clipboard = backends->m_window_clipboard.get();
    }

    backends->m_loop = std::make_unique<console::EventLoop>(*backends->m_events, clock);
    backends->m_console = std::make_unique<console::Console>(
        *backends->m_loop, *backends->m_sink, *clipboard, std::move(settings));
    if (!options.log_path.empty()) {
        if (!backends->m_log.open(options.log_path))
            return base::Error { "cannot open the console log '" + options.log_path + "'" };
        backends->m_console->add_output_observer(&backends->m_log);
    }
    backends->m_screen_path = options.screen_path;
    backends->open_braille(options, headless && !options.window);
    return backends;
}

namespace {

// Display key reports travel from the display's thread into the loop as
// posted events: the kind in the high half of the value, the code below.
constexpr int braille_key_posted = platform::posted::first_user + 71;

int64_t pack_report(platform::BrailleKeyReport report)
{
    return (static_cast<int64_t>(report.kind) << 32) | static_cast<uint32_t>(report.code);
}

platform::BrailleKeyReport unpack_report(int64_t value)
{
    return { static_cast<int>(value >> 32), static_cast<int>(static_cast<uint32_t>(value)) };
}

}

// Without a server, or with a display of no cells, braille stays off and
// nobody is told: the console works as before.
void ConsoleBackends::open_braille(const Options& options, bool headless)
{
    if (options.braille == "off" || (headless && options.braille != "brlapi"))
        return;
    m_braille_display = platform::open_brlapi_display();
    if (!m_braille_display || m_braille_display->cell_count() <= 0) {
        m_braille_display.reset();
        return;
    }
    m_braille = std::make_unique<braille::BrailleOutput>(*m_braille_display);
    auto& console = *m_console;
    auto& output = *m_braille;
    console.screen().set_row_listener([&console, &output](std::string_view row) {
        output.show_row(row, console.screen().cursor_column());
    });
    console.loop().set_posted_handler(braille_key_posted, [&console, &output](int64_t value) {
        for (uint8_t byte : output.key_bytes(unpack_report(value)))
            console.push_key(byte);
    });
    if (m_scripted_events)
        m_scripted_events->set_outside_keys(true);
    auto& events = *m_events;
    m_braille_display->start_keys([&events](platform::BrailleKeyReport report) {
        platform::Event event;
        event.type = platform::Event::Type::Posted;
        event.posted_kind = braille_key_posted;
        event.posted_value = pack_report(report);
        events.post(event);
    });
}

ConsoleBackends::~ConsoleBackends()
{
    // Every end the program takes has finished already; this one is for a
    // start that failed half-way, with no screen worth a file.
    [[maybe_unused]] auto finished = finish();
}

base::Result<void> ConsoleBackends::finish()
{
    // A backend that failed to open leaves no console behind.
    if (m_finished || !m_console)
        return {};
    m_finished = true;
    m_console->enter_program_end();
    if (m_terminal && m_keep_text) {
        m_terminal->restore();
        auto text = screen_text(m_console->screen());
        // The blank rows below the last line written stay off the terminal.
        while (text.ends_with("\n\n"))
            text.pop_back();
        if (text != "\n")
            m_terminal->write(text);
    }
    if (m_screen_path.empty())
        return {};
    auto text = screen_text(m_console->screen());
    std::FILE* file = std::fopen(m_screen_path.c_str(), "wb");
    bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    int error = errno;
    if (file && std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written)
        return base::Error { "cannot write the screen file '" + m_screen_path + "': " + std::strerror(error) };
    return {};
}

std::string screen_text(const console::ScreenBuffer& screen)
{
    std::string text;
    for (int row = 0; row < console::screen_rows; ++row) {
        auto line = screen.row_text(row);
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += base::windows1252_to_utf8(line);
        text += '\n';
    }
    return text;
}

}
