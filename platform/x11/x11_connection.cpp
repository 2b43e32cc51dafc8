// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the X display and reading window properties, shared by the X11 backends.
#include "platform/x11/x11_connection.h"

#include <cstdlib>

namespace platform {

const XcbLibrary* library_for_display()
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return nullptr;
    auto library = xcb_library();
    return library ? *library : nullptr;
}

xcb_connection_t* connect_display(const XcbLibrary& xcb, xcb_screen_t*& screen)
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return nullptr;
    int screen_number = 0;
    xcb_connection_t* connection = xcb.xcb_connect(display, &screen_number);
    if (!connection || xcb.xcb_connection_has_error(connection)) {
        if (connection)
            xcb.xcb_disconnect(connection);
        return nullptr;
    }
    auto iterator = xcb.xcb_setup_roots_iterator(xcb.xcb_get_setup(connection));
    for (int i = 0; i < screen_number && iterator.rem; ++i)
        xcb.xcb_screen_next(&iterator);
    if (!iterator.rem) {
        xcb.xcb_disconnect(connection);
        return nullptr;
    }
    screen = iterator.data;
    return connection;
}

std::string read_property(const XcbLibrary& xcb, xcb_connection_t* connection, xcb_window_t window, xcb_atom_t name,
    xcb_atom_t type, uint32_t max_bytes)
{
    if (name == XCB_ATOM_NONE)
        return {};
    auto cookie = xcb.xcb_get_property(connection, 0, window, name, type, 0, (max_bytes + 3) / 4);
    auto* reply = xcb.xcb_get_property_reply(connection, cookie, nullptr);
    if (!reply)
        return {};
    std::string value(static_cast<const char*>(xcb.xcb_get_property_value(reply)),
        static_cast<size_t>(xcb.xcb_get_property_value_length(reply)));
    std::free(reply);
    return value;
}

}
