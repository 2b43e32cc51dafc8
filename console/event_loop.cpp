// SPDX-License-Identifier: GPL-3.0-or-later
// EventLoop: the one loop every wait of the program runs, and the end of the program asked for from inside one.
#include "console/event_loop.h"

#include <algorithm>

namespace console {

namespace {

constexpr int max_delay_ms = 65535;

}

EventLoop::EventLoop(platform::EventSource& events, platform::Clock& clock)
    : m_events(events)
    , m_clock(clock)
{
}

void EventLoop::set_posted_handler(int kind, std::function<void(int64_t)> handler)
{
    m_posted_handlers[kind] = std::move(handler);
}

void EventLoop::request_end(int status)
{
    if (m_end_status)
        return;
    m_end_status = status;
    if (m_target)
        m_target->program_ending();
    if (m_end_listener)
        m_end_listener();
}

void EventLoop::dispatch(const platform::Event& event)
{
    if (event.type == platform::Event::Type::Posted) {
        auto handler = m_posted_handlers.find(event.posted_kind);
        if (handler != m_posted_handlers.end())
            handler->second(event.posted_value);
        return;
    }
    if (m_target)
        m_target->handle_event(event);
}

int EventLoop::bounded_timeout(int timeout_ms) const
{
    for (auto* poller : m_pollers) {
        int due = poller->next_report_ms();
        if (due >= 0 && (timeout_ms < 0 || due < timeout_ms))
            timeout_ms = due;
    }
    return timeout_ms;
}

int EventLoop::pump()
{
    for (auto* poller : m_pollers)
        poller->poll();
    int handled = 0;
    while (auto event = m_events.next_event()) {
        dispatch(*event);
        ++handled;
    }
    return handled;
}

void EventLoop::wait_event(int timeout_ms)
{
    if (pump() > 0)
        return;
    if (m_target)
        m_target->before_wait();
    // Once the program is ending no wait may last for ever: nothing would
    // come to end it.
    if (end_requested() && timeout_ms < 0)
        timeout_ms = 0;
    m_events.wait(bounded_timeout(timeout_ms));
    pump();
}

void EventLoop::look_at_events()
{
    // What the script wrote meanwhile is shown, as before a wait. A wait of
    // no time is how a backend reads what arrived; it neither sleeps nor
    // moves a virtual clock on.
    if (m_target)
        m_target->before_wait();
    m_events.wait(0);
    pump();
}

void EventLoop::delay(int milliseconds)
{
    milliseconds = std::clamp(milliseconds, 0, max_delay_ms);
    uint64_t deadline = m_clock.monotonic_ms() + static_cast<uint64_t>(milliseconds);
    while (!end_requested()) {
        uint64_t now = m_clock.monotonic_ms();
        if (now >= deadline)
            break;
        wait_event(static_cast<int>(deadline - now));
    }
    pump();
}

void EventLoop::post_wake_up()
{
    m_events.post(platform::Event {});
}

}
