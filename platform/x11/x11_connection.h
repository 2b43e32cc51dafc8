// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the X display and reading window properties, shared by the X11 backends.
#pragma once

#include <cstdint>
#include <string>
#include <xcb/xcb.h>

namespace platform {

// Connects to the display of $DISPLAY; nothing when there is none or it
// cannot be opened. `screen` is set to the connection's default screen.
xcb_connection_t* connect_display(xcb_screen_t*& screen);

// A window property's bytes, at most `max_bytes`; empty on any error (a
// window may vanish between listing and query).
std::string read_property(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t name, xcb_atom_t type,
    uint32_t max_bytes);

}
