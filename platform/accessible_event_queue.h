// SPDX-License-Identifier: GPL-3.0-or-later
// AccessibleEventQueue: the 100 accessibility events that wait for MSAA CHECA.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <utility>

namespace platform {

constexpr size_t accessible_event_queue_size = 100;

// A ring of the events that came and were not yet taken, oldest first.
// When an event comes while the ring is full, the oldest unread one gives
// way: a script that polls too seldom still finds the latest focus, and
// the queue never looks empty while events wait. `Entry` is whatever a
// backend needs to reach the event's object later; it must be movable.
template<typename Entry>
class AccessibleEventQueue {
public:
    void push(Entry entry)
    {
        m_entries[m_write] = std::move(entry);
        m_write = (m_write + 1) % accessible_event_queue_size;
        if (m_count == accessible_event_queue_size)
            m_read = (m_read + 1) % accessible_event_queue_size;
        else
            ++m_count;
    }

    std::optional<Entry> take()
    {
        if (m_count == 0)
            return std::nullopt;
        // The slot keeps a moved-from entry: backends that hold references
        // let them go in their move.
        Entry entry = std::move(m_entries[m_read]);
        m_entries[m_read] = Entry {};
        m_read = (m_read + 1) % accessible_event_queue_size;
        --m_count;
        return entry;
    }

    void clear()
    {
        while (take()) { }
    }

    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }

private:
    std::array<Entry, accessible_event_queue_size> m_entries {};
    size_t m_read = 0;
    size_t m_write = 0;
    size_t m_count = 0;
};

}
