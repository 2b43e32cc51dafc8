// SPDX-License-Identifier: GPL-3.0-or-later
// Turns espeak-ng's 16-bit sound into the 8-bit 11025 Hz pieces the
// synthesiser plays: low-pass and halve the rate, trim, fade, requantise.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace voice {

constexpr int database_rate = 11025;

// Halves the sample rate behind a windowed-sinc low-pass filter, so that
// nothing above the new Nyquist frequency folds back as hiss.
std::vector<int16_t> halve_rate(const std::vector<int16_t>& samples);

// Drops quiet samples at either end (below the level, in 16-bit units).
std::vector<int16_t> trim_silence(const std::vector<int16_t>& samples, bool leading, bool trailing, int level = 400);

// Shortens a quiet opening (a stop's closure with its voice bar) to at most
// `keep` samples before the first frame of `frame` samples whose RMS
// reaches the level; sound with no such frame is returned whole.
std::vector<int16_t> shorten_quiet_opening(const std::vector<int16_t>& samples, size_t keep, size_t frame, int level);

// Linear fades so that joined units do not click.
void fade_edges(std::vector<int16_t>& samples, int fade_in_samples, int fade_out_samples);

// 16-bit signed to 8-bit unsigned, with rounding and clipping.
std::vector<uint8_t> to_unsigned_8(const std::vector<int16_t>& samples, double gain);

// A RIFF wave file of 8-bit mono samples at 11025 Hz with the plain 44-byte
// header that the recorded-word player expects.
std::vector<uint8_t> wave_image(const std::vector<uint8_t>& samples);
bool write_file(const std::string& path, const std::vector<uint8_t>& bytes);

}
