// SPDX-License-Identifier: GPL-3.0-or-later
// Tones as WAV files in memory: the console's square wave and the alarm's sine.
#include "audio/tone_image.h"

#include "audio/wave_file.h"
#include "base/byte_order.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace audio {

std::vector<uint8_t> build_tone_image(int frequency)
{
    if (frequency < 1 || frequency > tone_sample_rate)
        return {};
    // Where a period's start is rounded down, one sample between two periods
    // is never written; it holds the silent level 128, since a 0 there would
    // be a full-scale spike, a click many times a second.
    std::vector<uint8_t> buffer(tone_buffer_size, 128);
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

    write_wave_header(std::span<uint8_t, wave_header_bytes>(buffer.data(), wave_header_bytes), { tone_sample_rate, 8, 1 }, data_length);
    return buffer;
}

std::vector<uint8_t> make_alarm_image(int frequency, int duration_ms)
{
    size_t samples = duration_ms > 0 ? static_cast<size_t>(static_cast<int64_t>(duration_ms) * alarm_sample_rate / 1000) : 0;
    std::vector<uint8_t> data(samples * 2, 0);
    // Frequencies past half the rate cannot be played; they stay silent.
    if (frequency > 0 && frequency < alarm_sample_rate / 2) {
        double step = 2.0 * std::numbers::pi * frequency / alarm_sample_rate;
        for (size_t i = 0; i < samples; ++i) {
            auto value = static_cast<int16_t>(std::lround(9000.0 * std::sin(step * static_cast<double>(i))));
            base::write_le16(&data[i * 2], static_cast<uint16_t>(value));
        }
    }
    return make_wave_image({ alarm_sample_rate, 16, 1 }, data);
}

}
