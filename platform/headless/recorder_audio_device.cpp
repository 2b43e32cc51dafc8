// SPDX-License-Identifier: GPL-3.0-or-later
// RecorderAudioDevice: a null device that also keeps everything heard, for tests and --audio.
#include "platform/headless/recorder_audio_device.h"

#include <algorithm>

namespace platform {

namespace {

// One sample of one channel as a signed 16-bit value.
int sample_at(std::span<const uint8_t> data, PcmFormat format, size_t frame, int channel)
{
    size_t index = frame * static_cast<size_t>(format.block_align()) + static_cast<size_t>(channel * format.bits / 8);
    if (format.bits == 8)
        return (static_cast<int>(data[index]) - 128) * 256;
    return static_cast<int16_t>(static_cast<uint16_t>(data[index] | (data[index + 1] << 8)));
}

}

RecorderAudioDevice::RecorderAudioDevice(Clock& clock, bool immediate, RecordingSink* sink)
    : NullAudioDevice(clock, immediate)
    , m_sink(sink)
{
}

void RecorderAudioDevice::device_opened(PcmFormat format)
{
    ++m_open_count;
    m_current = format;
    if (!m_have_format) {
        m_file_format = format;
        m_have_format = true;
    }
}

void RecorderAudioDevice::block_finished(std::span<const uint8_t> block, size_t played_bytes)
{
    m_blocks.push_back({ m_current, block.size(), played_bytes });
    append_converted(block.first(std::min(played_bytes, block.size())));
    if (m_sink)
        m_sink->recording_grew(m_file_format, m_samples);
}

void RecorderAudioDevice::append_converted(std::span<const uint8_t> data)
{
    if (m_current == m_file_format) {
        m_samples.insert(m_samples.end(), data.begin(), data.end());
        return;
    }
    size_t frames_in = data.size() / static_cast<size_t>(m_current.block_align());
    size_t frames_out = frames_in * static_cast<size_t>(m_file_format.rate) / static_cast<size_t>(m_current.rate);
    for (size_t out = 0; out < frames_out; ++out) {
        size_t frame = std::min(frames_in - 1, out * static_cast<size_t>(m_current.rate) / static_cast<size_t>(m_file_format.rate));
        for (int channel = 0; channel < m_file_format.channels; ++channel) {
            int value;
            if (m_current.channels == m_file_format.channels)
                value = sample_at(data, m_current, frame, channel);
            else if (m_current.channels == 2)
                value = (sample_at(data, m_current, frame, 0) + sample_at(data, m_current, frame, 1)) / 2;
            else
                value = sample_at(data, m_current, frame, 0);
            if (m_file_format.bits == 8) {
                m_samples.push_back(static_cast<uint8_t>((value >> 8) + 128));
            } else {
                m_samples.push_back(static_cast<uint8_t>(value & 0xFF));
                m_samples.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
            }
        }
    }
}

}
