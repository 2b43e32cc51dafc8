// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleBackends: the platform backends of the console, chosen once at start.
#pragma once

#include "app/options.h"
#include "braille/braille_output.h"
#include "console/console.h"
#include "console/console_log.h"
#include "platform/clock.h"
#include "platform/headless/scripted_event_source.h"
#include "platform/headless/memory_clipboard.h"
#include "platform/posix/terminal_mode.h"
#include "base/result.h"
#include "system/console_handover.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace app {

// The only place that knows which backend runs: headless with --headless,
// scripted keys or input and output that are not both terminals; the
// full-screen terminal console otherwise; --window shows it in a window of its own.
class ConsoleBackends {
public:
    // `desktop_clipboard` is the desktop's clipboard, which the line editor
    // then shares with the desktop commands; without one the console keeps
    // a clipboard in memory (or the window's own).
    static base::Result<std::unique_ptr<ConsoleBackends>> create(const Options& options, platform::Clock& clock,
        console::ConsoleSettings settings, platform::Clipboard* desktop_clipboard = nullptr);
    // Whether these options give the console without screen and keyboard.
    static bool is_headless(const Options& options);
    ~ConsoleBackends();
    ConsoleBackends(const ConsoleBackends&) = delete;
    ConsoleBackends& operator=(const ConsoleBackends&) = delete;

    console::Console& console() { return *m_console; }
    console::EventLoop& loop() { return *m_loop; }
    // How a program started in the foreground gets the terminal; nullptr
    // when the console is not on one.
    sys::ConsoleHandover* handover() { return m_handover.get(); }
    // The console window's id on the desktop, when it is in a window there.
    std::optional<uint64_t> window_id() const { return m_window_id; }

    // Every way out of the program passes here once: the window takes its
    // end state, and the screen file (--screen) is written. The error says
    // why the screen file could not be written; a second call does nothing.
    base::Result<void> finish();
    // At the end, the terminal's own screen comes back with the console's
    // last text written on it (as a pager leaves its last page), instead of
    // losing everything the script wrote with the alternate screen.
    void keep_text_after_exit() { m_keep_text = true; }

private:
    ConsoleBackends() = default;
    void open_braille(const Options& options, bool headless);

    // Declared first so that it is destroyed last: the terminal is given
    // back only once nothing else can draw on it.
    std::unique_ptr<platform::TerminalMode> m_terminal;
    std::unique_ptr<sys::ConsoleHandover> m_handover;
    std::unique_ptr<platform::EventSource> m_events;
    // The same source when it is the headless one.
    platform::ScriptedEventSource* m_scripted_events = nullptr;
    std::unique_ptr<platform::ScreenSink> m_sink;
    platform::MemoryClipboard m_clipboard;
    // The desktop's clipboard, when the console is in a window.
    std::unique_ptr<platform::Clipboard> m_window_clipboard;
    console::ConsoleLog m_log;
    std::unique_ptr<console::EventLoop> m_loop;
    std::unique_ptr<console::Console> m_console;
    // After the console and the event source, so that the display's key
    // thread has stopped before anything it posts into is gone.
    std::unique_ptr<platform::BrailleDisplay> m_braille_display;
    std::unique_ptr<braille::BrailleOutput> m_braille;
    std::string m_screen_path;
    std::optional<uint64_t> m_window_id;
    bool m_finished = false;
    bool m_keep_text = false;
};

// The 25 rows of the screen in UTF-8, each without its trailing blanks and
// ended by a newline.
std::string screen_text(const console::ScreenBuffer& screen);

// Why the console runs headless although nobody asked for it (input or
// output is not a terminal); empty when it was asked for, or does not.
std::string headless_reason(const Options& options, bool input_is_terminal, bool output_is_terminal);

}
