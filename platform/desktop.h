// SPDX-License-Identifier: GPL-3.0-or-later
// Desktop: which window is in front, and the console's own window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// What the return wait after a started program and the window-title wait
// need to know about the desktop. Window ids are the windowing system's own.
class Desktop {
public:
    virtual ~Desktop() = default;
    // The console's window; nothing when the console has none (headless, or
    // a terminal whose window is unknown).
    virtual std::optional<uint64_t> console_window() = 0;
    // The window that has the focus now; nothing when it cannot be told.
    virtual std::optional<uint64_t> foreground_window() = 0;
    // The title of the window in front, in UTF-8; empty when unknown.
    virtual std::string foreground_title() = 0;
};

// A desktop without windows to watch: headless runs (no console window),
// and a terminal on a machine without a display (the terminal's window id
// from $WINDOWID, when it is known).
class NoDesktop final : public Desktop {
public:
    explicit NoDesktop(std::optional<uint64_t> console_window = std::nullopt)
        : m_console_window(console_window)
    {
    }
    std::optional<uint64_t> console_window() override { return m_console_window; }
    std::optional<uint64_t> foreground_window() override { return std::nullopt; }
    std::string foreground_title() override { return {}; }

private:
    std::optional<uint64_t> m_console_window;
};

}
