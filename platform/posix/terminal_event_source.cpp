// SPDX-License-Identifier: GPL-3.0-or-later
// TerminalEventSource: keys, mouse and hang-up of a terminal in raw mode.
#include "platform/posix/terminal_event_source.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace platform {

namespace {

// How long the rest of an escape sequence may take to arrive before a lone
// ESC counts as the Esc key. Long enough for a slow link, short enough that
// Esc does not feel late.
constexpr int escape_timeout_ms = 80;
// How long the terminal may take to answer the start-up queries.
constexpr int query_timeout_ms = 500;

uint64_t real_time_ms()
{
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

}

TerminalEventSource::TerminalEventSource(TerminalMode& mode, Clock& clock, bool real_time, Callbacks callbacks)
    : m_mode(mode)
    , m_clock(clock)
    , m_real_time(real_time)
    , m_callbacks(std::move(callbacks))
{
    if (pipe(m_wake_pipe) == 0) {
        for (int fd : m_wake_pipe) {
            fcntl(fd, F_SETFL, O_NONBLOCK);
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
}

TerminalEventSource::~TerminalEventSource()
{
    for (int fd : m_wake_pipe) {
        if (fd >= 0)
            close(fd);
    }
}

bool TerminalEventSource::start_keyboard()
{
    // Every terminal answers the device-attributes query; one that knows
    // the kitty protocol answers its flags query first.
    m_mode.write("\x1B[?u\x1B[c");
    uint64_t deadline = real_time_ms() + query_timeout_ms;
    while (!m_decoder.saw_device_attributes() && !m_input_ended) {
        uint64_t now = real_time_ms();
        if (now >= deadline)
            break;
        pollfd input { m_mode.input_fd(), POLLIN, 0 };
        if (poll(&input, 1, static_cast<int>(deadline - now)) > 0)
            read_input();
    }
    m_kitty = m_decoder.saw_kitty_reply();
    m_mode.enable_keyboard(m_kitty);
    return m_kitty;
}

void TerminalEventSource::tell_user(std::string_view windows1252_text)
{
    if (m_callbacks.tell_user)
        m_callbacks.tell_user(windows1252_text);
    m_note_shown = !windows1252_text.empty();
}

void TerminalEventSource::take_decoded(std::vector<Event>& decoded)
{
    for (const auto& event : decoded) {
        if (event.type == Event::Type::KeyPress && m_note_shown)
            tell_user({});
        // Ctrl+Alt+F11 turns the chord keyboard on, which cannot work here.
        bool chord_switch = event.type == Event::Type::KeyPress && event.key == Key::F11
            && (event.modifiers & modifier::ctrl) && (event.modifiers & modifier::alt);
        if (chord_switch && !m_kitty) {
            tell_user(braille_keyboard_unavailable_note);
            continue;
        }
        m_ready.push_back(event);
    }
    decoded.clear();
}

bool TerminalEventSource::read_input()
{
    char buffer[4096];
    ssize_t got = read(m_mode.input_fd(), buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return true;
    if (got <= 0) {
        // A hang-up (end of input, or EIO once the terminal is gone) asks
        // the program to close, as closing the window would.
        m_input_ended = true;
        Event close;
        close.type = Event::Type::CloseRequested;
        m_ready.push_back(close);
        return false;
    }
    bool was_pending = m_decoder.has_pending();
    std::vector<Event> decoded;
    m_decoder.feed(std::string_view(buffer, static_cast<size_t>(got)), decoded);
    take_decoded(decoded);
    if (m_decoder.has_pending() && !was_pending)
        m_pending_since_ms = real_time_ms();
    return true;
}

std::optional<Event> TerminalEventSource::next_event()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_posted.empty()) {
            auto event = m_posted.front();
            m_posted.pop_front();
            return event;
        }
    }
    if (m_ready.empty())
        return std::nullopt;
    auto event = m_ready.front();
    m_ready.pop_front();
    return event;
}

void TerminalEventSource::wait(int timeout_ms)
{
    if (!m_ready.empty())
        return;
    {
        std::lock_guard lock(m_mutex);
        if (!m_posted.empty())
            return;
    }
    bool virtual_time = !m_real_time && timeout_ms >= 0;
    int poll_timeout = virtual_time ? 0 : timeout_ms;
    bool escape_pending = m_decoder.has_pending();
    if (escape_pending) {
        // The Esc timeout runs on real time even with a virtual clock: it
        // is about how the terminal's bytes arrive, not about the program.
        auto waited = static_cast<int>(real_time_ms() - m_pending_since_ms);
        int remaining = std::max(0, escape_timeout_ms - waited);
        poll_timeout = poll_timeout < 0 ? remaining : std::min(poll_timeout, remaining);
    }
    pollfd fds[3] = {
        { m_input_ended ? -1 : m_mode.input_fd(), POLLIN, 0 },
        { m_wake_pipe[0], POLLIN, 0 },
        { m_mode.signal_fd(), POLLIN, 0 },
    };
    int ready = poll(fds, 3, poll_timeout);
    if (ready > 0 && (fds[1].revents & POLLIN)) {
        char drain[64];
        while (read(m_wake_pipe[0], drain, sizeof drain) > 0) {
        }
    }
    if (ready > 0 && (fds[2].revents & POLLIN) && m_mode.take_resized() && m_callbacks.resized) {
        m_callbacks.resized();
        // The screen may now say that the terminal is too small, until a key.
        m_note_shown = true;
    }
    if (m_mode.take_hang_up()) {
        Event close;
        close.type = Event::Type::CloseRequested;
        m_ready.push_back(close);
    }
    if (ready > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
        read_input();
    if (escape_pending && m_decoder.has_pending()
        && real_time_ms() - m_pending_since_ms >= static_cast<uint64_t>(escape_timeout_ms)) {
        std::vector<Event> decoded;
        m_decoder.flush(decoded);
        take_decoded(decoded);
    }
    if (virtual_time && ready <= 0 && m_ready.empty())
        m_clock.pass_ms(static_cast<uint64_t>(timeout_ms));
}

KeySupply TerminalEventSource::request_key()
{
    if (m_ready.empty() && m_input_ended)
        return KeySupply::Exhausted;
    return KeySupply::Coming;
}

void TerminalEventSource::post(const Event& event)
{
    {
        std::lock_guard lock(m_mutex);
        m_posted.push_back(event);
    }
    char byte = 1;
    [[maybe_unused]] auto written = write(m_wake_pipe[1], &byte, 1);
}

}
