// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the X display and reading window properties, shared by the X11 backends.
#include "platform/x11/x11_connection.h"

#include <cstdlib>

namespace platform {

xcb_connection_t* connect_display(xcb_screen_t*& screen)
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return nullptr;
    int screen_number = 0;
    xcb_connection_t* connection = xcb_connect(display, &screen_number);
    if (!connection || xcb_connection_has_error(connection)) {
        if (connection)
            xcb_disconnect(connection);
        return nullptr;
    }
    auto iterator = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen_number && iterator.rem; ++i)
        xcb_screen_next(&iterator);
    if (!iterator.rem) {
        xcb_disconnect(connection);
        return nullptr;
    }
    screen = iterator.data;
    return connection;
}

std::string read_property(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t name, xcb_atom_t type,
    uint32_t max_bytes)
{
    if (name == XCB_ATOM_NONE)
        return {};
    auto cookie = xcb_get_property(connection, 0, window, name, type, 0, (max_bytes + 3) / 4);
    auto* reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (!reply)
        return {};
    std::string value(static_cast<const char*>(xcb_get_property_value(reply)),
        static_cast<size_t>(xcb_get_property_value_length(reply)));
    std::free(reply);
    return value;
}

}
