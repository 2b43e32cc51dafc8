// SPDX-License-Identifier: GPL-3.0-or-later
#include "resample.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace diphone {

std::vector<int16_t> resample(const std::vector<int16_t>& in, int from_rate, int to_rate)
{
    if (from_rate == to_rate || from_rate <= 0 || to_rate <= 0)
        return in;
    double ratio = double(to_rate) / from_rate;
    size_t count = size_t(double(in.size()) * ratio);
    std::vector<int16_t> out(count);
    double cutoff = std::min(1.0, ratio) * 0.92;
    constexpr int taps = 24;
    for (size_t n = 0; n < count; ++n) {
        double centre = double(n) / ratio;
        long first = long(std::floor(centre)) - taps + 1;
        double sum = 0;
        for (long k = first; k <= long(std::floor(centre)) + taps; ++k) {
            if (k < 0 || size_t(k) >= in.size())
                continue;
            double x = double(k) - centre;
            double sinc = x == 0 ? 1.0 : std::sin(std::numbers::pi * cutoff * x) / (std::numbers::pi * cutoff * x);
            double window = 0.5 * (1 + std::cos(std::numbers::pi * x / (taps + 1)));
            sum += in[size_t(k)] * cutoff * sinc * window;
        }
        out[n] = int16_t(std::clamp(std::lround(sum), -32768l, 32767l));
    }
    return out;
}

}
