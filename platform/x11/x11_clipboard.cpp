// SPDX-License-Identifier: GPL-3.0-or-later
// X11Clipboard: the CLIPBOARD selection of the X server of $DISPLAY.
#include "platform/x11/x11_clipboard.h"

#include "base/text_encoding.h"

#include "platform/x11/x11_connection.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace platform {

namespace {

// A selection owner that does not answer within this time is taken as gone.
constexpr int answer_timeout_ms = 1000;
// Clipboard text from another program is cut here: it is outside input.
constexpr size_t max_text_bytes = size_t(1) << 20;
// The owner answers in one piece up to this size; more is refused rather
// than sent in INCR pieces, as nothing this program copies comes near it.
constexpr size_t max_owned_bytes = 64 * 1024;

xcb_atom_t intern(const XcbLibrary& xcb, xcb_connection_t* connection, const char* name)
{
    auto cookie = xcb.xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    auto* reply = xcb.xcb_intern_atom_reply(connection, cookie, nullptr);
    xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

xcb_window_t create_hidden_window(const XcbLibrary& xcb, xcb_connection_t* connection, xcb_screen_t* screen)
{
    xcb_window_t window = xcb.xcb_generate_id(connection);
    uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb.xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &events);
    return window;
}

// Latin-1 for the STRING target: characters outside it become "?".
std::string utf8_to_latin1(std::string_view utf8)
{
    std::string latin1;
    for (size_t index = 0; index < utf8.size();) {
        auto byte = static_cast<unsigned char>(utf8[index]);
        if (byte < 0x80) {
            latin1 += static_cast<char>(byte);
            ++index;
            continue;
        }
        size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
        if ((byte & 0xE0) == 0xC0 && index + 1 < utf8.size()) {
            unsigned code = ((byte & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[index + 1]) & 0x3Fu);
            latin1 += code < 0x100 ? static_cast<char>(code) : '?';
        } else {
            latin1 += '?';
        }
        index += length;
    }
    return latin1;
}

// Serves the text as the CLIPBOARD owner until another program takes the
// selection or the server goes away. Runs in a process of its own, so that
// the text stays readable after the program has ended, as X11 keeps no
// clipboard of its own.
[[noreturn]] void serve_selection(const XcbLibrary& xcb, std::string utf8, int ready_pipe)
{
    xcb_screen_t* screen = nullptr;
    xcb_connection_t* connection = connect_display(xcb, screen);
    if (!connection)
        _exit(1);
    xcb_window_t window = create_hidden_window(xcb, connection, screen);
    xcb_atom_t clipboard = intern(xcb, connection, "CLIPBOARD");
    xcb_atom_t targets = intern(xcb, connection, "TARGETS");
    xcb_atom_t utf8_string = intern(xcb, connection, "UTF8_STRING");
    xcb_atom_t text = intern(xcb, connection, "TEXT");
    xcb_atom_t plain_utf8 = intern(xcb, connection, "text/plain;charset=utf-8");
    xcb.xcb_set_selection_owner(connection, window, clipboard, XCB_CURRENT_TIME);
    auto* owner
        = xcb.xcb_get_selection_owner_reply(connection, xcb.xcb_get_selection_owner(connection, clipboard), nullptr);
    bool owned = owner && owner->owner == window;
    std::free(owner);
    char answer = owned ? 'y' : 'n';
    (void)!write(ready_pipe, &answer, 1);
    close(ready_pipe);
    if (!owned)
        _exit(1);
    std::string latin1 = utf8_to_latin1(utf8);

    while (auto* event = xcb.xcb_wait_for_event(connection)) {
        uint8_t type = event->response_type & 0x7F;
        if (type == XCB_SELECTION_CLEAR) {
            std::free(event);
            break;
        }
        if (type == XCB_SELECTION_REQUEST) {
            auto* request = reinterpret_cast<xcb_selection_request_event_t*>(event);
            // Clients from before ICCCM name no property: the target serves.
            xcb_atom_t property = request->property == XCB_ATOM_NONE ? request->target : request->property;
            bool answered = true;
            if (request->target == targets) {
                const xcb_atom_t offered[] = { targets, utf8_string, XCB_ATOM_STRING, text, plain_utf8 };
                xcb.xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request->requestor, property, XCB_ATOM_ATOM,
                    32, std::size(offered), offered);
            } else if (request->target == utf8_string || request->target == text || request->target == plain_utf8) {
                xcb.xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request->requestor, property,
                    request->target == plain_utf8 ? plain_utf8 : utf8_string, 8, static_cast<uint32_t>(utf8.size()),
                    utf8.data());
            } else if (request->target == XCB_ATOM_STRING) {
                xcb.xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request->requestor, property,
                    XCB_ATOM_STRING, 8, static_cast<uint32_t>(latin1.size()), latin1.data());
            } else {
                answered = false;
            }
            xcb_selection_notify_event_t notify {};
            notify.response_type = XCB_SELECTION_NOTIFY;
            notify.time = request->time;
            notify.requestor = request->requestor;
            notify.selection = request->selection;
            notify.target = request->target;
            notify.property = answered ? property : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
            xcb.xcb_send_event(connection, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                reinterpret_cast<const char*>(&notify));
            xcb.xcb_flush(connection);
        }
        std::free(event);
    }
    xcb.xcb_disconnect(connection);
    _exit(0);
}

// Leaves only the pipe to the parent open, so that a program that waits
// for this one's output to end (a test runner, a pipe in a shell) is not
// held up for as long as the text stays on the clipboard.
void detach_from_parent(int keep)
{
    setsid();
    int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
    }
    long limit = sysconf(_SC_OPEN_MAX);
    if (limit < 0 || limit > 65536)
        limit = 65536;
    for (int descriptor = 3; descriptor < limit; ++descriptor) {
        if (descriptor != keep)
            close(descriptor);
    }
}

class X11Clipboard final : public Clipboard {
public:
    X11Clipboard(const XcbLibrary& xcb, xcb_connection_t* connection, xcb_screen_t* screen)
        : m_xcb(xcb)
        , m_connection(connection)
        , m_window(create_hidden_window(xcb, connection, screen))
    {
        m_clipboard = intern(xcb, connection, "CLIPBOARD");
        m_utf8_string = intern(xcb, connection, "UTF8_STRING");
        m_incr = intern(xcb, connection, "INCR");
        m_property = intern(xcb, connection, "CORVANTE_SELECTION");
        m_xcb.xcb_flush(connection);
    }
    ~X11Clipboard() override { m_xcb.xcb_disconnect(m_connection); }
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;

    void set_text(std::string_view utf8) override
    {
        std::string text(utf8.substr(0, utf8.find('\0')));
        if (text.size() > max_owned_bytes)
            text.resize(max_owned_bytes);
        int ready[2];
        if (pipe2(ready, O_CLOEXEC) != 0)
            return;
        pid_t child = fork();
        if (child == 0) {
            close(ready[0]);
            if (fork() == 0) {
                detach_from_parent(ready[1]);
                serve_selection(m_xcb, std::move(text), ready[1]);
            }
            _exit(0);
        }
        close(ready[1]);
        if (child > 0) {
            while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
            }
            // Until the owner holds the selection, a read would still give
            // the text before.
            pollfd wait { ready[0], POLLIN, 0 };
            if (poll(&wait, 1, answer_timeout_ms * 2) > 0) {
                char answer;
                (void)!read(ready[0], &answer, 1);
            }
        }
        close(ready[0]);
    }

    std::optional<std::string> text() override
    {
        drop_pending_events();
        if (auto utf8 = convert(m_utf8_string))
            return utf8;
        if (auto latin1 = convert(XCB_ATOM_STRING))
            return base::latin1_to_utf8(*latin1);
        return std::nullopt;
    }

private:
    // Asks the owner for the selection as `target` and reads the answer,
    // in pieces when the owner sends it incrementally.
    std::optional<std::string> convert(xcb_atom_t target)
    {
        m_xcb.xcb_delete_property(m_connection, m_window, m_property);
        m_xcb.xcb_convert_selection(m_connection, m_window, m_clipboard, target, m_property, XCB_CURRENT_TIME);
        m_xcb.xcb_flush(m_connection);
        auto* notify = wait_for(XCB_SELECTION_NOTIFY);
        if (!notify)
            return std::nullopt;
        auto property = reinterpret_cast<xcb_selection_notify_event_t*>(notify)->property;
        std::free(notify);
        if (property == XCB_ATOM_NONE)
            return std::nullopt;
        xcb_atom_t type = XCB_ATOM_NONE;
        auto value = take_property(type);
        if (!value)
            return std::nullopt;
        if (type != m_incr)
            return value;
        std::string whole;
        for (;;) {
            auto* change = wait_for(XCB_PROPERTY_NOTIFY);
            if (!change)
                return std::nullopt;
            auto* property_event = reinterpret_cast<xcb_property_notify_event_t*>(change);
            bool new_value = property_event->atom == m_property && property_event->state == XCB_PROPERTY_NEW_VALUE;
            std::free(change);
            if (!new_value)
                continue;
            auto piece = take_property(type);
            if (!piece)
                return std::nullopt;
            if (piece->empty())
                return whole;
            if (whole.size() + piece->size() > max_text_bytes)
                return std::nullopt;
            whole += *piece;
        }
    }

    // Reads the property whole and deletes it, which tells an incremental
    // owner to send the next piece.
    std::optional<std::string> take_property(xcb_atom_t& type)
    {
        auto cookie = m_xcb.xcb_get_property(m_connection, 1, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0,
            static_cast<uint32_t>(max_text_bytes / 4));
        auto* reply = m_xcb.xcb_get_property_reply(m_connection, cookie, nullptr);
        if (!reply)
            return std::nullopt;
        type = reply->type;
        std::string value(static_cast<const char*>(m_xcb.xcb_get_property_value(reply)),
            static_cast<size_t>(m_xcb.xcb_get_property_value_length(reply)));
        std::free(reply);
        m_xcb.xcb_flush(m_connection);
        return value;
    }

    // The next event of `type`, others dropped; nothing after the timeout.
    xcb_generic_event_t* wait_for(uint8_t type)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(answer_timeout_ms);
        for (;;) {
            while (auto* event = m_xcb.xcb_poll_for_event(m_connection)) {
                if ((event->response_type & 0x7F) == type)
                    return event;
                std::free(event);
            }
            if (m_xcb.xcb_connection_has_error(m_connection))
                return nullptr;
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return nullptr;
            pollfd wait { m_xcb.xcb_get_file_descriptor(m_connection), POLLIN, 0 };
            poll(&wait, 1, static_cast<int>(left.count()));
        }
    }

    void drop_pending_events()
    {
        while (auto* event = m_xcb.xcb_poll_for_event(m_connection))
            std::free(event);
    }

    const XcbLibrary& m_xcb;
    xcb_connection_t* m_connection;
    xcb_window_t m_window;
    xcb_atom_t m_clipboard = XCB_ATOM_NONE;
    xcb_atom_t m_utf8_string = XCB_ATOM_NONE;
    xcb_atom_t m_incr = XCB_ATOM_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
};

}

std::unique_ptr<Clipboard> open_x11_clipboard()
{
    const XcbLibrary* xcb = library_for_display();
    if (!xcb)
        return nullptr;
    xcb_screen_t* screen = nullptr;
    xcb_connection_t* connection = connect_display(*xcb, screen);
    if (!connection)
        return nullptr;
    return std::make_unique<X11Clipboard>(*xcb, connection, screen);
}

}
