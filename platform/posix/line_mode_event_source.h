// SPDX-License-Identifier: GPL-3.0-or-later
// LineModeEventSource: keys typed on a terminal left in its ordinary line mode.
#pragma once

#include "platform/clock.h"
#include "platform/event_source.h"

#include <deque>
#include <mutex>
#include <string>

namespace platform {

// The plain console used on a terminal until the full-screen terminal
// backend takes over: the terminal keeps its line editing and its echo, and
// each line arrives, once Enter is pressed, as typed characters and an
// Enter key. The end of the input ends the supply of keys.
class LineModeEventSource final : public EventSource {
public:
    // `input_fd` is read without ever blocking the program beyond a wait;
    // `real_time` is false for a virtual clock, which a timed wait moves on
    // instead of sleeping.
    LineModeEventSource(int input_fd, Clock& clock, bool real_time);
    ~LineModeEventSource() override;
    LineModeEventSource(const LineModeEventSource&) = delete;
    LineModeEventSource& operator=(const LineModeEventSource&) = delete;

    std::optional<Event> next_event() override;
    void wait(int timeout_ms) override;
    KeySupply request_key() override;
    bool keys_may_come() const override { return !m_input_ended || !m_ready.empty(); }
    void post(const Event& event) override;
    uint8_t held_modifiers() const override { return 0; }
    PointerPosition pointer_position(bool) const override { return {}; }

private:
    void read_input();
    void queue_bytes(std::string_view bytes);

    int m_input_fd;
    Clock& m_clock;
    bool m_real_time;
    int m_wake_pipe[2] = { -1, -1 };
    bool m_input_ended = false;
    std::string m_pending_utf8;
    std::deque<Event> m_ready;
    std::mutex m_mutex;
    std::deque<Event> m_posted;
};

}
