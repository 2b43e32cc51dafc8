// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleBackends: the platform backends of the console, chosen once at start.
#pragma once

#include "app/options.h"
#include "console/console.h"
#include "console/console_log.h"
#include "platform/clock.h"
#include "platform/headless/memory_clipboard.h"
#include "platform/posix/terminal_mode.h"
#include "platform/result.h"
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
    static platform::Result<std::unique_ptr<ConsoleBackends>> create(
        const Options& options, platform::Clock& clock, console::ConsoleSettings settings);
    ~ConsoleBackends();
    ConsoleBackends(const ConsoleBackends&) = delete;
    ConsoleBackends& operator=(const ConsoleBackends&) = delete;

    console::Console& console() { return *m_console; }
    // How a program started in the foreground gets the terminal; nullptr
    // when the console is not on one.
    sys::ConsoleHandover* handover() { return m_handover.get(); }
    // The console window's id on the desktop, when it is in a window there.
    std::optional<uint64_t> window_id() const { return m_window_id; }

    // Every way out of the program passes here once: the window takes its
    // end state, and the screen file (--screen) is written.
    void finish();

private:
    ConsoleBackends() = default;

    // Declared first so that it is destroyed last: the terminal is given
    // back only once nothing else can draw on it.
    std::unique_ptr<platform::TerminalMode> m_terminal;
    std::unique_ptr<sys::ConsoleHandover> m_handover;
    std::unique_ptr<platform::EventSource> m_events;
    std::unique_ptr<platform::ScreenSink> m_sink;
    platform::MemoryClipboard m_clipboard;
    // The desktop's clipboard, when the console is in a window.
    std::unique_ptr<platform::Clipboard> m_window_clipboard;
    console::ConsoleLog m_log;
    std::unique_ptr<console::Console> m_console;
    std::string m_screen_path;
    std::optional<uint64_t> m_window_id;
    bool m_finished = false;
};

// The 25 rows of the screen in UTF-8, each without its trailing blanks and
// ended by a newline.
std::string screen_text(const console::ScreenBuffer& screen);

}
