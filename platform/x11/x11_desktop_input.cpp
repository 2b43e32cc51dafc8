// SPDX-License-Identifier: GPL-3.0-or-later
// X11DesktopInput: keys and clicks through XTest, windows through EWMH, on the X server of $DISPLAY.
#include "platform/x11/x11_desktop_input.h"

#include "base/text_encoding.h"

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_keymap.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <thread>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace platform {

namespace {

constexpr KeySymbol dead_grave = 0xfe50;
constexpr KeySymbol dead_acute = 0xfe51;
constexpr KeySymbol dead_circumflex = 0xfe52;
constexpr KeySymbol dead_tilde = 0xfe53;
constexpr KeySymbol dead_diaeresis = 0xfe57;
constexpr KeySymbol num_lock_symbol = 0xff7f;

// How long other clients get to handle the keys typed with a lent keycode
// before the keycode is emptied again: they read the changed mapping only
// when they look the key up, and would then find it empty.
constexpr auto mapping_settle_time = std::chrono::milliseconds(250);

// The ICCCM state of an iconified window, and the EWMH message sources.
constexpr uint32_t iconic_state = 3;
constexpr uint32_t source_pager = 2;

// XCB rather than Xlib throughout: a window that has vanished between the
// list and the query yields an error reply here and never ends the program.
class X11DesktopInput final : public DesktopInput {
public:
    X11DesktopInput(const XcbLibrary& xcb, xcb_connection_t* connection, xcb_window_t root)
        : m_xcb(xcb)
        , m_connection(connection)
        , m_root(root)
    {
        for (auto& [name, atom] : m_atoms)
            atom = intern(name);
    }
    ~X11DesktopInput() override
    {
        end_typing();
        m_xcb.xcb_disconnect(m_connection);
    }
    X11DesktopInput(const X11DesktopInput&) = delete;
    X11DesktopInput& operator=(const X11DesktopInput&) = delete;

    std::string name() override { return "X11"; }

    std::optional<uint16_t> key_code_word(unsigned char character) override
    {
        refresh_keymap();
        return code_word_of_symbol(X11Keymap::symbol_of_character(character));
    }

    std::optional<uint16_t> dead_key_code_word(unsigned char accent) override
    {
        KeySymbol symbol;
        switch (accent) {
        case '`': symbol = dead_grave; break;
        case 0xB4: symbol = dead_acute; break;
        case '^': symbol = dead_circumflex; break;
        case '~': symbol = dead_tilde; break;
        case 0xA8: symbol = dead_diaeresis; break;
        default: return std::nullopt;
        }
        refresh_keymap();
        return code_word_of_symbol(symbol);
    }

    void send_key(int virtual_key, bool down) override
    {
        auto keycode = m_keymap.keycode_of_virtual_key(virtual_key);
        if (!keycode)
            return;
        fake_key(*keycode, down);
        m_xcb.xcb_flush(m_connection);
    }

    // The character goes on a keycode that has no symbols, which keeps it
    // until the command has typed everything. A client reads the changed
    // mapping only when it handles the key, so the mapping is put back
    // after a while, and a keycode is never lent twice in between.
    void type_unmapped_character(unsigned char character) override
    {
        KeySymbol symbol = X11Keymap::symbol_of_character(character);
        if (symbol == 0)
            return;
        auto lent = m_lent_keycodes.find(symbol);
        if (lent == m_lent_keycodes.end()) {
            auto keycode = lend_keycode(symbol);
            if (!keycode) {
                end_typing();
                keycode = lend_keycode(symbol);
            }
            if (!keycode)
                return;
            lent = m_lent_keycodes.emplace(symbol, *keycode).first;
        }
        fake_key(lent->second, true);
        fake_key(lent->second, false);
        m_xcb.xcb_flush(m_connection);
    }

    // Some keycodes without symbols have no key in the server's keyboard
    // description, and take no symbols either: those are passed over.
    std::optional<uint8_t> lend_keycode(KeySymbol symbol)
    {
        for (int attempt = 0; attempt < 8; ++attempt) {
            refresh_keymap();
            auto spare = m_keymap.spare_keycode(m_refused_keycodes);
            if (!spare)
                return std::nullopt;
            set_keycode_symbol(*spare, symbol);
            refresh_keymap();
            auto placement = m_keymap.find_symbol(symbol);
            if (placement && placement->keycode == *spare)
                return spare;
            m_refused_keycodes.insert(*spare);
        }
        return std::nullopt;
    }

    void end_typing() override
    {
        if (m_lent_keycodes.empty())
            return;
        synchronise();
        std::this_thread::sleep_for(mapping_settle_time);
        for (auto [symbol, keycode] : m_lent_keycodes)
            set_keycode_symbol(keycode, 0);
        m_lent_keycodes.clear();
        refresh_keymap();
    }

    void toggle_num_lock() override
    {
        refresh_keymap();
        auto placement = m_keymap.find_symbol(num_lock_symbol);
        if (!placement)
            return;
        fake_key(placement->keycode, true);
        fake_key(placement->keycode, false);
        m_xcb.xcb_flush(m_connection);
    }

    void move_pointer(int x, int y) override
    {
        m_xcb.xcb_test_fake_input(m_connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, m_root, clamp_coordinate(x),
            clamp_coordinate(y), 0);
        synchronise();
    }

    void press_left_button(bool down) override
    {
        m_xcb.xcb_test_fake_input(m_connection, down ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME,
            m_root, 0, 0, 0);
        synchronise();
    }

    std::vector<TopLevelWindow> windows() override
    {
        drop_pending_events();
        // Front to back, as the stacking list is back to front.
        auto ids = window_list(atom("_NET_CLIENT_LIST_STACKING"));
        if (ids.empty())
            ids = window_list(atom("_NET_CLIENT_LIST"));
        else
            std::reverse(ids.begin(), ids.end());
        std::vector<TopLevelWindow> result;
        for (auto id : ids) {
            auto attributes_cookie = m_xcb.xcb_get_window_attributes(m_connection, id);
            auto* attributes = m_xcb.xcb_get_window_attributes_reply(m_connection, attributes_cookie, nullptr);
            if (!attributes)
                continue; // gone since the list was read
            TopLevelWindow window;
            window.id = id;
            window.title = title_of(id);
            window.minimised = is_minimised(id);
            window.visible = attributes->map_state == XCB_MAP_STATE_VIEWABLE && !window.minimised;
            std::free(attributes);
            result.push_back(std::move(window));
        }
        return result;
    }

    void apply_window_action(uint64_t id, WindowAction action) override
    {
        auto window = static_cast<xcb_window_t>(id);
        xcb_atom_t maximised_vertically = atom("_NET_WM_STATE_MAXIMIZED_VERT");
        xcb_atom_t maximised_horizontally = atom("_NET_WM_STATE_MAXIMIZED_HORZ");
        switch (action) {
        case WindowAction::close:
            send_client_message(window, atom("_NET_CLOSE_WINDOW"), { XCB_CURRENT_TIME, source_pager, 0, 0, 0 });
            break;
        case WindowAction::show_normal:
        case WindowAction::maximise: {
            uint32_t operation = action == WindowAction::maximise ? 1 : 0; // add, remove
            m_xcb.xcb_map_window(m_connection, window);
            send_client_message(window, atom("_NET_WM_STATE"),
                { operation, maximised_vertically, maximised_horizontally, source_pager, 0 });
            send_client_message(window, atom("_NET_ACTIVE_WINDOW"), { source_pager, XCB_CURRENT_TIME, 0, 0, 0 });
            break;
        }
        case WindowAction::minimise:
            send_client_message(window, atom("WM_CHANGE_STATE"), { iconic_state, 0, 0, 0, 0 });
            break;
        }
        synchronise();
    }

    std::optional<ScreenArea> foreground_area() override
    {
        auto window = active_window();
        if (!window)
            return std::nullopt;
        // The window manager's frame is the window's outer edge.
        xcb_window_t frame = *window;
        for (int depth = 0; depth < 16; ++depth) {
            auto* tree = m_xcb.xcb_query_tree_reply(m_connection, m_xcb.xcb_query_tree(m_connection, frame), nullptr);
            if (!tree)
                return std::nullopt;
            xcb_window_t parent = tree->parent;
            xcb_window_t root = tree->root;
            std::free(tree);
            if (parent == root || parent == XCB_WINDOW_NONE)
                break;
            frame = parent;
        }
        auto* geometry
            = m_xcb.xcb_get_geometry_reply(m_connection, m_xcb.xcb_get_geometry(m_connection, frame), nullptr);
        if (!geometry)
            return std::nullopt;
        ScreenArea area { geometry->x, geometry->y, geometry->width + 2 * geometry->border_width,
            geometry->height + 2 * geometry->border_width };
        std::free(geometry);
        auto* position = m_xcb.xcb_translate_coordinates_reply(
            m_connection, m_xcb.xcb_translate_coordinates(m_connection, frame, m_root, 0, 0), nullptr);
        if (position) {
            area.left = position->dst_x;
            area.top = position->dst_y;
            std::free(position);
        }
        return area;
    }

    // The left part of the frame the window manager drew around the window
    // in front; the usual sizing border where it tells none.
    int frame_width() override
    {
        constexpr int usual_frame_width = 4;
        auto window = active_window();
        if (!window)
            return usual_frame_width;
        auto extents = property(*window, atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 16);
        if (extents.size() < 4)
            return usual_frame_width;
        uint32_t left;
        std::memcpy(&left, extents.data(), 4);
        return static_cast<int>(left);
    }

    std::string foreground_title() override
    {
        auto window = active_window();
        return window ? title_of(*window) : std::string();
    }

    // The window with the keyboard focus, or the nearest of its parents that
    // has a name: the focus is often on a frame's child without one.
    std::string focus_text() override
    {
        auto* focus = m_xcb.xcb_get_input_focus_reply(m_connection, m_xcb.xcb_get_input_focus(m_connection), nullptr);
        if (!focus)
            return {};
        xcb_window_t window = focus->focus;
        std::free(focus);
        for (int depth = 0; depth < 16 && window != XCB_WINDOW_NONE && window != m_root && window > 1; ++depth) {
            auto title = title_of(window);
            if (!title.empty())
                return title;
            auto* tree = m_xcb.xcb_query_tree_reply(m_connection, m_xcb.xcb_query_tree(m_connection, window), nullptr);
            if (!tree)
                return {};
            window = tree->parent;
            std::free(tree);
        }
        return {};
    }

private:
    xcb_atom_t intern(const char* name)
    {
        auto cookie = m_xcb.xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
        auto* reply = m_xcb.xcb_intern_atom_reply(m_connection, cookie, nullptr);
        xcb_atom_t result = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    }

    xcb_atom_t atom(std::string_view name) const
    {
        for (const auto& [known, value] : m_atoms) {
            if (name == known)
                return value;
        }
        return XCB_ATOM_NONE;
    }

    std::string property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type, uint32_t max_bytes)
    {
        return read_property(m_xcb, m_connection, window, name, type, max_bytes);
    }

    std::vector<xcb_window_t> window_list(xcb_atom_t name)
    {
        auto bytes = property(m_root, name, XCB_ATOM_WINDOW, 4096 * 4);
        std::vector<xcb_window_t> ids(bytes.size() / 4);
        if (!ids.empty())
            std::memcpy(ids.data(), bytes.data(), ids.size() * 4);
        return ids;
    }

    std::optional<xcb_window_t> active_window()
    {
        auto value = property(m_root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 4);
        if (value.size() < 4)
            return std::nullopt;
        xcb_window_t window;
        std::memcpy(&window, value.data(), 4);
        if (window == XCB_WINDOW_NONE)
            return std::nullopt;
        return window;
    }

    // _NET_WM_NAME in UTF-8, else the legacy name in Latin-1.
    std::string title_of(xcb_window_t window)
    {
        constexpr uint32_t max_title_bytes = 1024;
        auto title = property(window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), max_title_bytes);
        if (!title.empty())
            return title;
        return base::latin1_to_utf8(property(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, max_title_bytes));
    }

    bool is_minimised(xcb_window_t window)
    {
        auto states = property(window, atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 64 * 4);
        xcb_atom_t hidden = atom("_NET_WM_STATE_HIDDEN");
        for (size_t offset = 0; offset + 4 <= states.size(); offset += 4) {
            xcb_atom_t state;
            std::memcpy(&state, states.data() + offset, 4);
            if (state == hidden)
                return true;
        }
        auto wm_state = property(window, atom("WM_STATE"), atom("WM_STATE"), 8);
        if (wm_state.size() >= 4) {
            uint32_t state;
            std::memcpy(&state, wm_state.data(), 4);
            return state == iconic_state;
        }
        return false;
    }

    void send_client_message(xcb_window_t window, xcb_atom_t type, std::array<uint32_t, 5> data)
    {
        if (type == XCB_ATOM_NONE)
            return;
        xcb_client_message_event_t event {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = type;
        std::memcpy(event.data.data32, data.data(), sizeof event.data.data32);
        m_xcb.xcb_send_event(m_connection, 0, m_root,
            XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
            reinterpret_cast<const char*>(&event));
    }

    void fake_key(uint8_t keycode, bool down)
    {
        m_xcb.xcb_test_fake_input(
            m_connection, down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode, XCB_CURRENT_TIME, m_root, 0, 0, 0);
    }

    void set_keycode_symbol(uint8_t keycode, KeySymbol symbol)
    {
        // Both levels, so that a Shift held at the time changes nothing.
        const uint32_t symbols[2] = { symbol, symbol };
        m_xcb.xcb_change_keyboard_mapping(m_connection, 1, keycode, 2, symbols);
        synchronise();
    }

    // Waits until the server has handled every request sent so far.
    void synchronise()
    {
        std::free(m_xcb.xcb_get_input_focus_reply(m_connection, m_xcb.xcb_get_input_focus(m_connection), nullptr));
    }

    // The errors of requests without replies arrive as events; nothing here
    // waits for them, so they are only dropped.
    void drop_pending_events()
    {
        while (auto* event = m_xcb.xcb_poll_for_event(m_connection))
            std::free(event);
    }

    void refresh_keymap()
    {
        drop_pending_events();
        const xcb_setup_t* setup = m_xcb.xcb_get_setup(m_connection);
        uint8_t count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
        auto cookie = m_xcb.xcb_get_keyboard_mapping(m_connection, setup->min_keycode, count);
        auto* reply = m_xcb.xcb_get_keyboard_mapping_reply(m_connection, cookie, nullptr);
        if (!reply)
            return;
        auto* symbols = m_xcb.xcb_get_keyboard_mapping_keysyms(reply);
        int length = m_xcb.xcb_get_keyboard_mapping_keysyms_length(reply);
        m_keymap.set_mapping(setup->min_keycode, reply->keysyms_per_keycode,
            std::vector<KeySymbol>(symbols, symbols + length));
        std::free(reply);
    }

    std::optional<uint16_t> code_word_of_symbol(KeySymbol symbol)
    {
        auto placement = m_keymap.find_symbol(symbol);
        if (!placement)
            return std::nullopt;
        int virtual_key = m_keymap.virtual_key_of_keycode(placement->keycode);
        if (virtual_key == 0)
            return std::nullopt;
        return static_cast<uint16_t>(virtual_key | (placement->level == 1 ? 0x100 : 0));
    }

    static int16_t clamp_coordinate(int value) { return static_cast<int16_t>(std::clamp(value, -32768, 32767)); }

    const XcbLibrary& m_xcb;
    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    X11Keymap m_keymap;
    // The keycodes lent to characters during the current command.
    std::map<KeySymbol, uint8_t> m_lent_keycodes;
    std::set<uint8_t> m_refused_keycodes;
    std::pair<const char*, xcb_atom_t> m_atoms[14] = {
        { "_NET_CLIENT_LIST", 0 }, { "_NET_CLIENT_LIST_STACKING", 0 }, { "_NET_ACTIVE_WINDOW", 0 },
        { "_NET_WM_NAME", 0 }, { "UTF8_STRING", 0 }, { "_NET_WM_STATE", 0 }, { "_NET_WM_STATE_HIDDEN", 0 },
        { "_NET_WM_STATE_MAXIMIZED_VERT", 0 }, { "_NET_WM_STATE_MAXIMIZED_HORZ", 0 }, { "_NET_CLOSE_WINDOW", 0 },
        { "WM_CHANGE_STATE", 0 }, { "WM_STATE", 0 }, { "_NET_FRAME_EXTENTS", 0 }, { "WM_NAME", 0 },
    };
};


// The server's extension, through the client's library for it.
bool has_xtest(const XcbLibrary& xcb, xcb_connection_t* connection)
{
    if (!xcb.has_xtest_library())
        return false;
    const auto* extension = xcb.xcb_get_extension_data(connection, xcb.xcb_test_id);
    return extension && extension->present;
}

}

std::unique_ptr<DesktopInput> open_x11_desktop_input()
{
    const XcbLibrary* xcb = library_for_display();
    if (!xcb)
        return nullptr;
    xcb_screen_t* screen = nullptr;
    xcb_connection_t* connection = connect_display(*xcb, screen);
    if (!connection)
        return nullptr;
    if (!has_xtest(*xcb, connection)) {
        xcb->xcb_disconnect(connection);
        return nullptr;
    }
    return std::make_unique<X11DesktopInput>(*xcb, connection, screen->root);
}

std::string describe_x11_desktop()
{
    const char* display = std::getenv("DISPLAY");
    const XcbLibrary* xcb = library_for_display();
    xcb_screen_t* screen = nullptr;
    xcb_connection_t* connection = xcb ? connect_display(*xcb, screen) : nullptr;
    if (!connection) {
        if (display && *display && !xcb)
            return "none (libxcb cannot be loaded): the desktop commands find no windows";
        if (std::getenv("WAYLAND_DISPLAY"))
            return "none (a Wayland session without XWayland): the desktop commands find no windows";
        return "none (no X display): the desktop commands find no windows";
    }
    bool xtest = has_xtest(*xcb, connection);
    xcb->xcb_disconnect(connection);
    std::string text = std::string("X11 on ") + display;
    if (!xtest)
        text += ", without the XTest extension: keys and clicks are not sent";
    return text;
}

}
