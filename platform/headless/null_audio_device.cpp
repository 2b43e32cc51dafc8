// SPDX-License-Identifier: GPL-3.0-or-later
// NullAudioDevice: plays nothing, but takes as long as the sound would.
#include "platform/headless/null_audio_device.h"

#include <algorithm>

namespace platform {

NullAudioDevice::NullAudioDevice(Clock& clock, bool immediate)
    : m_clock(clock)
    , m_immediate(immediate)
{
}

base::Result<void> NullAudioDevice::open(int, PcmFormat format, AudioEvents& events)
{
    if (format.rate <= 0 || (format.bits != 8 && format.bits != 16) || format.channels < 1 || format.channels > 2)
        return base::Error { "unsupported sound format" };
    m_format = format;
    m_events = &events;
    device_opened(format);
    return {};
}

void NullAudioDevice::close()
{
    reset();
    m_events = nullptr;
}

uint64_t NullAudioDevice::duration_ms(size_t bytes) const
{
    uint64_t per_second = static_cast<uint64_t>(m_format.rate) * static_cast<uint64_t>(std::max(1, m_format.block_align()));
    return (static_cast<uint64_t>(bytes) * 1000 + per_second - 1) / per_second;
}

void NullAudioDevice::queue_block(std::span<const uint8_t> block, int tag)
{
    if (!m_events)
        return;
    uint64_t start = m_queue.empty() ? m_clock.monotonic_ms() : m_queue.back().end_ms;
    start = std::max(start, m_clock.monotonic_ms());
    Block entry { std::vector<uint8_t>(block.begin(), block.end()), tag, start + duration_ms(block.size()) };
    m_queue.push_back(std::move(entry));
}

void NullAudioDevice::poll()
{
    uint64_t now = m_clock.monotonic_ms();
    while (!m_queue.empty() && (m_immediate || m_queue.front().end_ms <= now)) {
        Block block = std::move(m_queue.front());
        m_queue.pop_front();
        block_finished(block.data, block.data.size());
        if (m_events)
            m_events->block_played(block.tag);
    }
}

int NullAudioDevice::next_report_ms() const
{
    if (m_queue.empty())
        return -1;
    if (m_immediate)
        return 0;
    uint64_t now = m_clock.monotonic_ms();
    uint64_t end = m_queue.front().end_ms;
    return end <= now ? 0 : static_cast<int>(std::min<uint64_t>(end - now, 1000));
}

void NullAudioDevice::reset()
{
    // What was heard of the block at the front is what a listener got
    // before the stop; the blocks behind it were never heard.
    uint64_t now = m_clock.monotonic_ms();
    bool first = true;
    while (!m_queue.empty()) {
        Block block = std::move(m_queue.front());
        m_queue.pop_front();
        size_t heard = 0;
        if (first && !m_immediate) {
            uint64_t length = duration_ms(block.data.size());
            uint64_t start = block.end_ms - length;
            if (now > start && length > 0) {
                uint64_t align = static_cast<uint64_t>(std::max(1, m_format.block_align()));
                heard = static_cast<size_t>(std::min<uint64_t>(block.data.size(), (now - start) * block.data.size() / length / align * align));
            }
        }
        first = false;
        block_finished(block.data, heard);
        if (m_events)
            m_events->block_played(block.tag);
    }
}

}
