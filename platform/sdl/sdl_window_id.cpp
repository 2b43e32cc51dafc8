// SPDX-License-Identifier: GPL-3.0-or-later
// The windowing system's own id of an SDL window.
//
// A file of its own because SDL_syswm.h brings in Xlib, whose macros (None,
// Status, Bool, Success) would leak into the window's drawing code.
#include "platform/sdl/sdl_window_id.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace platform {

std::optional<uint64_t> x11_window_id(SDL_Window* window)
{
    if (!window)
        return std::nullopt;
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        return std::nullopt;
    if (info.info.x11.window == 0)
        return std::nullopt;
    return static_cast<uint64_t>(info.info.x11.window);
#else
    return std::nullopt;
#endif
}

}
