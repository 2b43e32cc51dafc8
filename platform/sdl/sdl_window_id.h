// SPDX-License-Identifier: GPL-3.0-or-later
// The windowing system's own id of an SDL window.
#pragma once

#include <cstdint>
#include <optional>

struct SDL_Window;

namespace platform {

// The X11 window id, which HANDLE hands to scripts and the desktop compares
// with the window in front; nothing when the window is not on X11 (Wayland,
// or a build of SDL without it).
std::optional<uint64_t> x11_window_id(SDL_Window* window);

}
