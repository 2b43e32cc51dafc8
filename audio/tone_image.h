// SPDX-License-Identifier: GPL-3.0-or-later
// The one-second square-wave tone of the console, as a WAV file in memory.
#pragma once

#include <cstdint>
#include <vector>

namespace audio {

constexpr int tone_sample_rate = 11025;
constexpr int tone_header_size = 44;
constexpr int tone_buffer_size = 11071;

// An 11071-byte buffer: the RIFF header of 8-bit mono PCM at 11025 samples a
// second, then square-wave periods of 96 and 160, then a closing sample of
// 128; every sample that no period covers holds the silent level 128.
// Frequencies outside 1..11025 have no
// period that fits a sample, so they give an empty vector (no tone).
std::vector<uint8_t> build_tone_image(int frequency);

}
