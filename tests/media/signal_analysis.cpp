// SPDX-License-Identifier: GPL-3.0-or-later
// Measurements of recorded sound for the media tests: loudness and pitch.
#include "tests/media/signal_analysis.h"

#include <cmath>
#include <numbers>

namespace media_test {

std::vector<int16_t> channel_of(std::span<const int16_t> samples, int channels, int channel)
{
    std::vector<int16_t> one;
    for (size_t i = static_cast<size_t>(channel); i < samples.size(); i += static_cast<size_t>(channels))
        one.push_back(samples[i]);
    return one;
}

double rms(std::span<const int16_t> samples)
{
    if (samples.empty())
        return 0;
    double sum = 0;
    for (int16_t sample : samples)
        sum += double(sample) * sample;
    return std::sqrt(sum / double(samples.size()));
}

double energy_at(std::span<const int16_t> samples, int rate, double frequency)
{
    double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / rate);
    double previous = 0, before = 0;
    for (int16_t sample : samples) {
        double current = sample + coefficient * previous - before;
        before = previous;
        previous = current;
    }
    double power = previous * previous + before * before - coefficient * previous * before;
    return power / double(samples.size() * samples.size());
}

double dominant_frequency(std::span<const int16_t> samples, int rate, double low, double high)
{
    auto best_in = [&](std::span<const int16_t> part, double from, double to, double step) {
        double best = from, best_energy = -1;
        for (double frequency = from; frequency <= to; frequency += step) {
            double energy = energy_at(part, rate, frequency);
            if (energy > best_energy) {
                best_energy = energy;
                best = frequency;
            }
        }
        return best;
    };
    auto coarse_part = samples.first(std::min<size_t>(samples.size(), static_cast<size_t>(rate / 5)));
    double coarse = best_in(coarse_part, low, high, 5);
    return best_in(samples, coarse - 6, coarse + 6, 0.25);
}

}
