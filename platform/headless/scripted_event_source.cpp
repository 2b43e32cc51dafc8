// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptedEventSource: the headless event source, fed by scripted keys.
#include "platform/headless/scripted_event_source.h"

#include <chrono>

namespace platform {

ScriptedEventSource::ScriptedEventSource(Clock& clock, bool real_time, std::vector<ScriptedKey> keys)
    : m_clock(clock)
    , m_real_time(real_time)
    , m_keys(keys.begin(), keys.end())
    , m_last_key_ms(clock.monotonic_ms())
{
}

void ScriptedEventSource::let_next_key_in()
{
    auto key = std::move(m_keys.front());
    m_keys.pop_front();
    for (auto& event : key.events)
        m_ready.push_back(event);
    m_last_key_ms = m_clock.monotonic_ms();
}

std::optional<uint64_t> ScriptedEventSource::time_to_timed_key()
{
    if (m_keys.empty() || !m_keys.front().timed)
        return std::nullopt;
    uint64_t due = m_last_key_ms + m_keys.front().delay_ms;
    uint64_t now = m_clock.monotonic_ms();
    return due > now ? due - now : 0;
}

std::optional<Event> ScriptedEventSource::next_event()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_posted.empty()) {
            auto event = m_posted.front();
            m_posted.pop_front();
            return event;
        }
    }
    if (m_ready.empty()) {
        auto due = time_to_timed_key();
        if (due && *due == 0)
            let_next_key_in();
    }
    if (m_ready.empty())
        return std::nullopt;
    auto event = m_ready.front();
    m_ready.pop_front();
    if (event.type == Event::Type::KeyPress || event.type == Event::Type::Character)
        m_held_modifiers = event.modifiers;
    return event;
}

void ScriptedEventSource::wait(int timeout_ms)
{
    if (!m_ready.empty())
        return;
    auto due = time_to_timed_key();
    if (due && *due == 0)
        return;
    // How long to let the clock run: up to the timeout, or the timed key.
    std::optional<uint64_t> span;
    if (timeout_ms >= 0)
        span = static_cast<uint64_t>(timeout_ms);
    if (due && (!span || *due < *span))
        span = due;

    std::unique_lock lock(m_mutex);
    if (!m_posted.empty())
        return;
    if (m_real_time) {
        if (span)
            m_posted_signal.wait_for(lock, std::chrono::milliseconds(*span), [&] { return !m_posted.empty(); });
        else
            m_posted_signal.wait(lock, [&] { return !m_posted.empty(); });
        return;
    }
    if (span) {
        lock.unlock();
        m_clock.pass_ms(*span);
        return;
    }
    // A virtual clock and nothing due: only a post from another thread can
    // end this wait.
    m_posted_signal.wait(lock, [&] { return !m_posted.empty(); });
}

KeySupply ScriptedEventSource::request_key()
{
    if (!m_ready.empty())
        return KeySupply::Coming;
    if (m_keys.empty())
        return m_outside_keys ? KeySupply::Coming : KeySupply::Exhausted;
    // A timed key keeps its time: the wait lets the clock run up to it.
    if (!m_keys.front().timed)
        let_next_key_in();
    return KeySupply::Coming;
}

bool ScriptedEventSource::keys_may_come() const
{
    return !m_ready.empty() || !m_keys.empty() || m_outside_keys;
}

void ScriptedEventSource::post(const Event& event)
{
    {
        std::lock_guard lock(m_mutex);
        m_posted.push_back(event);
    }
    m_posted_signal.notify_one();
}

PointerPosition ScriptedEventSource::pointer_position(bool) const
{
    return {};
}

}
