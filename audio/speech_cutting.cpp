// SPDX-License-Identifier: GPL-3.0-or-later
// Playback speed-ups of the wave output: fast rate and speech cutting.
#include "audio/speech_cutting.h"

#include <cstdlib>

namespace audio {

int fast_playback_rate(int rate)
{
    long long tripled = static_cast<long long>(rate) * 3;
    long long half_up = tripled / 2;
    if (tripled % 2 != 0 && half_up % 2 != 0)
        ++half_up;
    return static_cast<int>(half_up);
}

size_t reduce_to_8_bits(std::span<uint8_t> block)
{
    size_t samples = block.size() / 2;
    for (size_t i = 0; i < samples; ++i)
        block[i] = static_cast<uint8_t>(block[2 * i + 1] + 128);
    return samples;
}

namespace {

// The position of the largest sample among `count` samples from `from`
// (the first on ties), kept inside the block.
size_t find_peak(std::span<const uint8_t> block, size_t from, size_t count)
{
    size_t end = from + count;
    if (end > block.size())
        end = block.size();
    if (from >= end)
        return block.size() - 1;
    size_t peak = from;
    for (size_t i = from + 1; i < end; ++i) {
        if (block[i] > block[peak])
            peak = i;
    }
    return peak;
}

}

size_t cut_speech_block(std::span<uint8_t> block, int rate)
{
    size_t length = block.size();
    if (length < 1000)
        return length;
    // The windows follow the pitch of a voice at the two usual rates: the
    // gap skips most of a period, the width finds its peak.
    size_t start = rate == 11025 ? 200 : 800;
    size_t gap = rate == 11025 ? 80 : 320;
    size_t width = rate == 11025 ? 50 : 200;
    size_t span = gap + width;

    size_t peak = find_peak(block, start, span + 1);
    size_t out = peak;
    while (peak + 2 * span < length) {
        size_t next = find_peak(block, peak + gap, width + 1);
        size_t after = find_peak(block, next + gap, width + 1);
        for (size_t i = next; i < after; ++i)
            block[out++] = block[i];
        peak = after;
    }
    // The tail runs on to a quiet sample, so that the block does not end
    // with a click.
    for (size_t i = peak; i < length; ++i) {
        uint8_t value = block[i];
        block[out++] = value;
        if (std::abs(static_cast<int>(value) - 128) <= 20)
            break;
    }
    return out;
}

}
