// SPDX-License-Identifier: GPL-3.0-or-later
// Sample-rate conversion of 16-bit speech.
#pragma once

#include <cstdint>
#include <vector>

namespace diphone {

// Windowed-sinc interpolation with the cut-off below the lower Nyquist
// frequency of the two rates.
std::vector<int16_t> resample(const std::vector<int16_t>& in, int from_rate, int to_rate);

}
