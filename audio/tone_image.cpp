// SPDX-License-Identifier: GPL-3.0-or-later
// The one-second square-wave tone of the console, as a WAV file in memory.
#include "audio/tone_image.h"

#include <cstring>

namespace audio {

namespace {

void put_u32(std::vector<uint8_t>& buffer, size_t at, uint32_t value)
{
    for (int byte = 0; byte < 4; ++byte)
        buffer[at + static_cast<size_t>(byte)] = static_cast<uint8_t>(value >> (8 * byte));
}

void put_u16(std::vector<uint8_t>& buffer, size_t at, uint16_t value)
{
    buffer[at] = static_cast<uint8_t>(value);
    buffer[at + 1] = static_cast<uint8_t>(value >> 8);
}

}

std::vector<uint8_t> build_tone_image(int frequency)
{
    if (frequency < 1 || frequency > tone_sample_rate)
        return {};
    // Where a period's start is rounded down, one sample between two periods
    // is never written; it holds the silent level 128, since a 0 there would
    // be a full-scale spike, a click many times a second.
    std::vector<uint8_t> buffer(tone_buffer_size, 128);
    std::memset(buffer.data(), 0, tone_header_size);
    const int period = tone_sample_rate / frequency;
    const int low_half = period / 2;

    // The periods' starts are counted in bytes from the start of the buffer,
    // header included, so the tone stops a little short of a full second.
    int64_t start_sample = 0;
    for (int64_t k = 0;; ++k) {
        start_sample = k * tone_sample_rate / frequency;
        int64_t start_byte = tone_header_size + start_sample;
        if (start_byte > tone_sample_rate - period)
            break;
        auto* samples = &buffer[static_cast<size_t>(start_byte)];
        std::memset(samples, 96, static_cast<size_t>(low_half));
        std::memset(samples + low_half, 160, static_cast<size_t>(period - low_half));
    }
    buffer[static_cast<size_t>(tone_header_size + start_sample - 1)] = 128;
    auto data_length = static_cast<uint32_t>(start_sample);

    std::memcpy(&buffer[0], "RIFF", 4);
    put_u32(buffer, 4, data_length + 36);
    std::memcpy(&buffer[8], "WAVEfmt ", 8);
    put_u32(buffer, 16, 16);
    put_u16(buffer, 20, 1); // PCM
    put_u16(buffer, 22, 1); // mono
    put_u32(buffer, 24, tone_sample_rate);
    put_u32(buffer, 28, tone_sample_rate); // bytes a second
    put_u16(buffer, 32, 1); // block align
    put_u16(buffer, 34, 8); // bits a sample
    std::memcpy(&buffer[36], "data", 4);
    put_u32(buffer, 40, data_length);
    return buffer;
}

}
