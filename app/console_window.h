// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleWindow: the console's backends when it is shown in a window (--window).
#pragma once

#include "console/console_settings.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/event_source.h"
#include "platform/result.h"
#include "platform/screen_sink.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace app {

// The window's screen, its events and the desktop's clipboard. `events`
// refers to `sink`: destroy it first.
struct ConsoleWindow {
    std::unique_ptr<platform::ScreenSink> sink;
    std::unique_ptr<platform::EventSource> events;
    std::unique_ptr<platform::Clipboard> clipboard;
    // The window's id on the desktop (X11), when it has one.
    std::optional<uint64_t> native_window;
};

// Fails with a message for the user when this build has no window or no
// display can be opened.
platform::Result<ConsoleWindow> open_console_window(
    const console::ConsoleSettings& settings, platform::Clock& clock, bool real_time);

}
