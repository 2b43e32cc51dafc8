// SPDX-License-Identifier: GPL-3.0-or-later
// KeyQueue: the 64 bytes of keys waiting for the program.
#include "console/key_queue.h"

namespace console {

bool KeyQueue::push(uint8_t byte)
{
    if (m_count >= key_queue_capacity)
        return false;
    m_bytes[static_cast<size_t>((m_first + m_count) % key_queue_capacity)] = byte;
    ++m_count;
    return true;
}

bool KeyQueue::push_extended(uint8_t code)
{
    if (m_count > key_queue_capacity - 2)
        return false;
    push(0);
    push(code);
    return true;
}

std::optional<uint8_t> KeyQueue::pop()
{
    if (m_count == 0)
        return std::nullopt;
    uint8_t byte = m_bytes[static_cast<size_t>(m_first)];
    m_first = (m_first + 1) % key_queue_capacity;
    --m_count;
    return byte;
}

}
