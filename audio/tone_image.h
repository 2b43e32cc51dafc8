// SPDX-License-Identifier: GPL-3.0-or-later
// Tones as WAV files in memory: the console's square wave and the alarm's sine.
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
// Frequencies outside 1..11025 have no period that fits a sample, so they
// give an empty vector (no tone).
std::vector<uint8_t> build_tone_image(int frequency);

// ALARME's tone: a 16-bit mono sine at 22050 samples a second, edges not
// shaped, `duration_ms` long. A frequency of 0, or one past half the rate,
// gives silence of that length.
constexpr int alarm_sample_rate = 22050;
std::vector<uint8_t> make_alarm_image(int frequency, int duration_ms);

}
