// SPDX-License-Identifier: GPL-3.0-or-later
// SdlEventSource: keys, characters, mouse and window events of the SDL window.
#pragma once

#include "platform/clock.h"
#include "platform/event_source.h"

#include <cstdint>
#include <deque>
#include <mutex>

union SDL_Event;

namespace platform {

class SdlWindow;

// Runs on the runtime thread, which is the thread that made the window.
// `post` pushes an SDL user event, which SDL lets any thread do, so that a
// wait in SDL_WaitEventTimeout wakes; the posted events themselves stay in
// a queue of our own, and leave it in the order of their wake-ups.
class SdlEventSource final : public EventSource {
public:
    SdlEventSource(SdlWindow& window, Clock& clock, bool real_time);

    std::optional<Event> next_event() override;
    void wait(int timeout_ms) override;
    KeySupply request_key() override { return KeySupply::Coming; }
    bool keys_may_come() const override { return true; }
    void post(const Event& event) override;
    uint8_t held_modifiers() const override;
    PointerPosition pointer_position(bool screen_relative) const override;

private:
    void take(const SDL_Event& event);
    void take_posted(bool all);

    SdlWindow& m_window;
    Clock& m_clock;
    bool m_real_time;
    uint32_t m_wake_type = 0;
    uint16_t m_last_key_modifiers = 0;
    std::deque<Event> m_ready;
    std::mutex m_mutex;
    std::deque<Event> m_posted;
};

}
