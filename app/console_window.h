// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleWindow: the console's backends when it is shown in a window (--window).
#pragma once

#include "console/console_settings.h"
#include "platform/clock.h"
#include "base/result.h"
#include "platform/sdl_module.h"

namespace app {

// The window's screen, its events and the desktop's clipboard.
using ConsoleWindow = platform::WindowParts;

// Fails with a message for the user when this build has no window or no
// display can be opened.
base::Result<ConsoleWindow> open_console_window(
    const console::ConsoleSettings& settings, platform::Clock& clock, bool real_time);

}
