// SPDX-License-Identifier: GPL-3.0-or-later
// LineModeEventSource: keys typed on a terminal left in its ordinary line mode.
#include "platform/posix/line_mode_event_source.h"

#include "platform/text_encoding.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace platform {

LineModeEventSource::LineModeEventSource(int input_fd, Clock& clock, bool real_time)
    : m_input_fd(input_fd)
    , m_clock(clock)
    , m_real_time(real_time)
{
    if (pipe(m_wake_pipe) == 0) {
        fcntl(m_wake_pipe[0], F_SETFL, O_NONBLOCK);
        fcntl(m_wake_pipe[1], F_SETFL, O_NONBLOCK);
    }
}

LineModeEventSource::~LineModeEventSource()
{
    for (int fd : m_wake_pipe) {
        if (fd >= 0)
            close(fd);
    }
}

void LineModeEventSource::queue_bytes(std::string_view bytes)
{
    auto key = [&](Key which) {
        Event event;
        event.type = Event::Type::KeyPress;
        event.key = which;
        m_ready.push_back(event);
    };
    std::string text;
    auto flush_text = [&] {
        for (char c : utf8_to_windows1252(text)) {
            Event event;
            event.type = Event::Type::Character;
            event.character = static_cast<uint8_t>(c);
            m_ready.push_back(event);
        }
        text.clear();
    };
    for (char c : bytes) {
        auto byte = static_cast<uint8_t>(c);
        if (byte >= 32 && byte != 127) {
            text += c;
            continue;
        }
        flush_text();
        if (byte == '\n')
            key(Key::Enter);
        else if (byte == 8 || byte == 127)
            key(Key::Backspace);
        else if (byte == 9)
            key(Key::Tab);
        else if (byte == 27)
            key(Key::Escape);
    }
    flush_text();
}

void LineModeEventSource::read_input()
{
    char buffer[4096];
    ssize_t got = read(m_input_fd, buffer, sizeof buffer);
    if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) {
        m_input_ended = true;
        return;
    }
    if (got < 0)
        return;
    // A line may end inside a UTF-8 sequence only if the terminal split it;
    // lines arrive whole, so each read is converted on its own.
    queue_bytes(std::string_view(buffer, static_cast<size_t>(got)));
}

std::optional<Event> LineModeEventSource::next_event()
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

void LineModeEventSource::wait(int timeout_ms)
{
    if (!m_ready.empty())
        return;
    pollfd fds[2] = {
        { m_input_ended ? -1 : m_input_fd, POLLIN, 0 },
        { m_wake_pipe[0], POLLIN, 0 },
    };
    bool virtual_time = !m_real_time && timeout_ms >= 0;
    int ready = poll(fds, 2, virtual_time ? 0 : timeout_ms);
    if (ready > 0 && (fds[1].revents & POLLIN)) {
        char drain[64];
        while (read(m_wake_pipe[0], drain, sizeof drain) > 0) {
        }
    }
    if (ready > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
        read_input();
    if (virtual_time && ready <= 0)
        m_clock.pass_ms(static_cast<uint64_t>(timeout_ms));
}

KeySupply LineModeEventSource::request_key()
{
    if (m_ready.empty() && m_input_ended)
        return KeySupply::Exhausted;
    return KeySupply::Coming;
}

void LineModeEventSource::post(const Event& event)
{
    {
        std::lock_guard lock(m_mutex);
        m_posted.push_back(event);
    }
    char byte = 1;
    [[maybe_unused]] auto written = write(m_wake_pipe[1], &byte, 1);
}

}
