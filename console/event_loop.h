// SPDX-License-Identifier: GPL-3.0-or-later
// EventLoop: the one loop every wait of the program runs, and the end of the program asked for from inside one.
#pragma once

#include "platform/clock.h"
#include "platform/event_source.h"

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace console {

// Exit statuses of the ends asked for from inside a wait.
constexpr int exit_closed = 0;
constexpr int exit_keys_ran_out = 3;

// Something that must be looked at in every wait without a thread of its
// own (an audio device that reports played blocks by the clock).
class EventPoller {
public:
    virtual ~EventPoller() = default;
    virtual void poll() = 0;
    // Milliseconds until the poller next has something to report; negative
    // when nothing is due.
    virtual int next_report_ms() const = 0;
};

// Takes the events that are not posted to a handler of their own (keys,
// mouse, focus, close requests): the console.
class EventTarget {
public:
    virtual ~EventTarget() = default;
    virtual void handle_event(const platform::Event& event) = 0;
    // Called before the loop sleeps, so that what was drawn is shown.
    virtual void before_wait() { }
    // Called once, when the end of the program is asked for.
    virtual void program_ending() { }
};

// Every wait (for a key, for time, for speech or a sound to end) is a loop
// of "pump pending events, then wait for the next event or a timeout", so
// keys, window events, played audio blocks and posted wake-ups are all
// handled on the one runtime thread.
class EventLoop {
public:
    EventLoop(platform::EventSource& events, platform::Clock& clock);
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    void set_target(EventTarget* target) { m_target = target; }
    void add_poller(EventPoller* poller) { m_pollers.push_back(poller); }
    // Events posted with this kind call the handler on the runtime thread.
    void set_posted_handler(int kind, std::function<void(int64_t value)> handler);

    // The end of the program, asked for from inside a wait (the window
    // closed, Ctrl+Break, the scripted keys ran out, no voice to speak
    // with). Only the first request counts. From then on delays return at
    // once and the console reads Esc without waiting, so that the statement
    // running comes back promptly; the listener tells the run to stop, and
    // app/ ends the program with the status once the run has returned.
    void request_end(int status);
    bool end_requested() const { return m_end_status.has_value(); }
    int end_status() const { return m_end_status.value_or(0); }
    void set_end_listener(std::function<void()> listener) { m_end_listener = std::move(listener); }

    // Dispatches every pending event; returns how many were handled.
    int pump();
    // Pumps; when that handled nothing, waits up to `timeout_ms` (negative:
    // no limit) for an event and pumps again.
    void wait_event(int timeout_ms);
    // Shows what was drawn, then takes what the platform has for us without
    // blocking (the terminal's bytes, the window's events) and dispatches
    // it: a script that runs without waiting is still seen, and still ends
    // on a close or Ctrl+Break.
    void look_at_events();
    // Lets the time pass on the program's clock while events are pumped;
    // returns early once the end of the program is asked for.
    void delay(int milliseconds);
    // Makes a wait_event in progress, or the next one, return at once.
    void post_wake_up();
    void post(const platform::Event& event) { m_events.post(event); }

    platform::EventSource& source() { return m_events; }
    const platform::EventSource& source() const { return m_events; }
    platform::Clock& clock() { return m_clock; }

private:
    void dispatch(const platform::Event& event);
    int bounded_timeout(int timeout_ms) const;

    platform::EventSource& m_events;
    platform::Clock& m_clock;
    EventTarget* m_target = nullptr;
    std::optional<int> m_end_status;
    std::function<void()> m_end_listener;
    std::vector<EventPoller*> m_pollers;
    std::map<int, std::function<void(int64_t)>> m_posted_handlers;
};

}
