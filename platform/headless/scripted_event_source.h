// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptedEventSource: the headless event source, fed by scripted keys.
#pragma once

#include "platform/clock.h"
#include "platform/event_source.h"
#include "platform/headless/key_script.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace platform {

// Keys come from the --keys notation and reach the program one at a time,
// each when the program blocks waiting for a key; a poll never pulls one in,
// so a run is the same every time. A timed key ({Wait N}) instead arrives by
// itself once the program's clock has run N ms past the previous key.
// Waits let the program's clock run: with a virtual clock they return at
// once, with the system clock they sleep, and a post ends them early.
class ScriptedEventSource final : public EventSource {
public:
    // `real_time` is true when `clock` is the system clock, whose time
    // passes by itself; false for a virtual clock that a wait moves forward.
    ScriptedEventSource(Clock& clock, bool real_time, std::vector<ScriptedKey> keys);

    std::optional<Event> next_event() override;
    void wait(int timeout_ms) override;
    KeySupply request_key() override;
    bool keys_may_come() const override;
    void post(const Event& event) override;
    uint8_t held_modifiers() const override { return m_held_modifiers; }
    PointerPosition pointer_position(bool screen_relative) const override;

    // Keys also come from outside the script (a braille display): running
    // out of scripted keys no longer ends the program, a wait for a key
    // waits for them.
    void set_outside_keys(bool outside_keys) { m_outside_keys = outside_keys; }

    // Keys that have not reached the program yet.
    size_t keys_left() const { return m_keys.size(); }

private:
    void let_next_key_in();
    // Milliseconds until the next timed key is due; nothing if none is.
    std::optional<uint64_t> time_to_timed_key();

    Clock& m_clock;
    bool m_real_time;
    std::deque<ScriptedKey> m_keys;
    std::deque<Event> m_ready;
    uint64_t m_last_key_ms = 0;
    uint8_t m_held_modifiers = 0;
    bool m_outside_keys = false;

    mutable std::mutex m_mutex;
    std::condition_variable m_posted_signal;
    std::deque<Event> m_posted;
};

}
