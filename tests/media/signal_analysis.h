// SPDX-License-Identifier: GPL-3.0-or-later
// Measurements of recorded sound for the media tests: loudness and pitch.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace media_test {

// One channel of interleaved samples.
std::vector<int16_t> channel_of(std::span<const int16_t> samples, int channels, int channel);
double rms(std::span<const int16_t> samples);
// Energy of `samples` at one frequency (Goertzel), normalised by length.
double energy_at(std::span<const int16_t> samples, int rate, double frequency);
// The frequency with the most energy between `low` and `high`: a coarse
// scan of 5 Hz steps, then 0.25 Hz steps around the best.
double dominant_frequency(std::span<const int16_t> samples, int rate, double low, double high);

}
