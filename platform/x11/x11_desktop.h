// SPDX-License-Identifier: GPL-3.0-or-later
// X11Desktop: the window in front and its title, from the X server's root window.
#pragma once

#include "platform/desktop.h"

#include <memory>

namespace platform {

// Opens the display named by $DISPLAY; nothing when there is none.
// `console_window` is the console's own window id: the window backend's, or
// the terminal emulator's ($WINDOWID) under the terminal backend.
std::unique_ptr<Desktop> open_x11_desktop(std::optional<uint64_t> console_window);

}
