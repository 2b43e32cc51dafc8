// SPDX-License-Identifier: GPL-3.0-or-later
// RecorderAudioDevice: a null device that also keeps everything heard, and writes it to a WAV file.
#include "platform/headless/recorder_audio_device.h"

#include <algorithm>
#include <array>
#include <memory>

namespace platform {

namespace {

void put_u32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void put_u16(uint8_t* at, uint16_t value)
{
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

// One sample of one channel as a signed 16-bit value.
int sample_at(std::span<const uint8_t> data, PcmFormat format, size_t frame, int channel)
{
    size_t index = frame * static_cast<size_t>(format.block_align()) + static_cast<size_t>(channel * format.bits / 8);
    if (format.bits == 8)
        return (static_cast<int>(data[index]) - 128) * 256;
    return static_cast<int16_t>(static_cast<uint16_t>(data[index] | (data[index + 1] << 8)));
}

}

base::Result<std::unique_ptr<RecorderAudioDevice>> RecorderAudioDevice::create(Clock& clock, bool immediate, const std::string& path)
{
    std::FILE* file = nullptr;
    if (!path.empty()) {
        file = std::fopen(path.c_str(), "wb");
        if (!file)
            return base::Error { "cannot create '" + path + "'" };
    }
    return std::unique_ptr<RecorderAudioDevice>(new RecorderAudioDevice(clock, immediate, file));
}

RecorderAudioDevice::RecorderAudioDevice(Clock& clock, bool immediate, std::FILE* file)
    : NullAudioDevice(clock, immediate)
    , m_file(file)
{
}

RecorderAudioDevice::~RecorderAudioDevice()
{
    if (m_file) {
        update_file();
        std::fclose(m_file);
    }
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
    update_file();
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

void RecorderAudioDevice::update_file()
{
    if (!m_file || !m_have_format)
        return;
    // The header is rewritten with the sizes so far after every block, so
    // that the file is a complete wave whenever the program stops.
    std::array<uint8_t, 44> header {};
    std::copy_n("RIFF", 4, header.begin());
    put_u32(&header[4], static_cast<uint32_t>(36 + m_samples.size()));
    std::copy_n("WAVEfmt ", 8, header.begin() + 8);
    put_u32(&header[16], 16);
    put_u16(&header[20], 1);
    put_u16(&header[22], static_cast<uint16_t>(m_file_format.channels));
    put_u32(&header[24], static_cast<uint32_t>(m_file_format.rate));
    put_u32(&header[28], static_cast<uint32_t>(m_file_format.rate * m_file_format.block_align()));
    put_u16(&header[32], static_cast<uint16_t>(m_file_format.block_align()));
    put_u16(&header[34], static_cast<uint16_t>(m_file_format.bits));
    std::copy_n("data", 4, header.begin() + 36);
    put_u32(&header[40], static_cast<uint32_t>(m_samples.size()));
    std::fseek(m_file, 0, SEEK_SET);
    std::fwrite(header.data(), 1, header.size(), m_file);
    std::fseek(m_file, static_cast<long>(44 + m_written), SEEK_SET);
    std::fwrite(m_samples.data() + m_written, 1, m_samples.size() - m_written, m_file);
    m_written = m_samples.size();
    std::fflush(m_file);
}

}
