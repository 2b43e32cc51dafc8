// SPDX-License-Identifier: GPL-3.0-or-later
// X11Desktop: the window in front and its title, from the X server's root window.
#include "platform/x11/x11_desktop.h"

#include "platform/x11/x11_connection.h"

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace platform {

namespace {

// XCB rather than Xlib: a window that vanishes between two requests only
// yields an error reply here, where Xlib would call its process-wide error
// handler, which the window backend's library also sets.
class X11Desktop final : public Desktop {
public:
    X11Desktop(xcb_connection_t* connection, xcb_window_t root, std::optional<uint64_t> console_window)
        : m_connection(connection)
        , m_root(root)
        , m_console_window(console_window)
    {
        m_active_atom = atom("_NET_ACTIVE_WINDOW");
        m_name_atom = atom("_NET_WM_NAME");
        m_utf8_atom = atom("UTF8_STRING");
    }
    ~X11Desktop() override { xcb_disconnect(m_connection); }
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    std::optional<uint64_t> console_window() override { return m_console_window; }

    std::optional<uint64_t> foreground_window() override
    {
        auto value = property(m_root, m_active_atom, XCB_ATOM_WINDOW, 4);
        if (value.size() < 4)
            return std::nullopt;
        uint32_t window;
        std::memcpy(&window, value.data(), 4);
        if (window == 0)
            return std::nullopt;
        return window;
    }

    std::string foreground_title() override
    {
        auto window = foreground_window();
        if (!window)
            return {};
        auto id = static_cast<xcb_window_t>(*window);
        auto title = property(id, m_name_atom, m_utf8_atom, 1024);
        if (title.empty())
            title = property(id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 1024);
        return title;
    }

private:
    xcb_atom_t atom(const char* name)
    {
        auto cookie = xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
        auto* reply = xcb_intern_atom_reply(m_connection, cookie, nullptr);
        xcb_atom_t result = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    }

    std::string property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type, uint32_t max_bytes)
    {
        return read_property(m_connection, window, name, type, max_bytes);
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    std::optional<uint64_t> m_console_window;
    xcb_atom_t m_active_atom = XCB_ATOM_NONE;
    xcb_atom_t m_name_atom = XCB_ATOM_NONE;
    xcb_atom_t m_utf8_atom = XCB_ATOM_NONE;
};

}

std::unique_ptr<Desktop> open_x11_desktop(std::optional<uint64_t> console_window)
{
    xcb_screen_t* screen = nullptr;
    xcb_connection_t* connection = connect_display(screen);
    if (!connection)
        return nullptr;
    return std::make_unique<X11Desktop>(connection, screen->root, console_window);
}

}
