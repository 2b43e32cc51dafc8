// SPDX-License-Identifier: GPL-3.0-or-later
// Mel-frequency cepstra of speech at 11025 Hz and the dynamic-time-warping
// distance between two of them: how unlike two renderings of a word sound,
// whatever their speed.
#pragma once

#include <array>
#include <vector>

namespace voice {

constexpr int cepstral_coefficients = 12;
using CepstralFrame = std::array<double, cepstral_coefficients>;

// 23 ms frames every 10 ms, 24 mel bands from 100 to 5000 Hz, coefficients
// 1 to 12 with their mean over the utterance removed.
std::vector<CepstralFrame> mel_cepstra(const std::vector<double>& samples);

// The mean frame distance along the cheapest alignment of the two.
double warped_distance(const std::vector<CepstralFrame>& a, const std::vector<CepstralFrame>& b);

}
