// SPDX-License-Identifier: GPL-3.0-or-later
// KeyQueue: the 64 bytes of keys waiting for the program.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace console {

constexpr int key_queue_capacity = 64;

// First in, first out, with no growth: a byte that does not fit is dropped.
// An extended key is two bytes, 0 and its code, and goes in whole or not at
// all, so that a reader never sees a 0 whose code was lost.
class KeyQueue {
public:
    // False (and nothing queued) when the queue is full.
    bool push(uint8_t byte);
    // Queues 0 and `code`; false (and nothing queued) without room for both.
    bool push_extended(uint8_t code);
    std::optional<uint8_t> pop();
    void clear() { m_count = 0; m_first = 0; }

    int count() const { return m_count; }
    bool empty() const { return m_count == 0; }

private:
    std::array<uint8_t, key_queue_capacity> m_bytes {};
    int m_first = 0;
    int m_count = 0;
};

}
