// SPDX-License-Identifier: GPL-3.0-or-later
// Autocorrelation pitch and peak-picked pitch marks.
#include "pitch_analysis.h"

#include <algorithm>
#include <cmath>

namespace diphone {

namespace {

// Below this RMS a frame counts as silence, whatever its periodicity.
constexpr double silence_rms = 300;
// Normalised autocorrelation a frame needs at its best lag to be voiced.
constexpr double voicing_threshold = 0.5;
// A voiced period's peak is at least this high.
constexpr int16_t quiet_peak = 200;

double best_correlation(std::span<const int16_t> frame, int min_lag, int max_lag, int& best_lag)
{
    best_lag = 0;
    double best = 0;
    int length = int(frame.size());
    std::vector<double> values(size_t(max_lag + 2), 0.0);
    for (int lag = min_lag; lag <= max_lag && lag < length; ++lag) {
        double product = 0, energy_a = 0, energy_b = 0;
        for (int i = 0; i + lag < length; ++i) {
            double a = frame[size_t(i)], b = frame[size_t(i + lag)];
            product += a * b;
            energy_a += a * a;
            energy_b += b * b;
        }
        double value = energy_a > 0 && energy_b > 0 ? product / std::sqrt(energy_a * energy_b) : 0;
        values[size_t(lag)] = value;
        if (value > best) {
            best = value;
            best_lag = lag;
        }
    }
    // A multiple of the period can score a hair above the period itself;
    // the shortest lag that comes close is the period.
    for (int lag = min_lag; lag < best_lag; ++lag) {
        if (values[size_t(lag)] > 0.9 * best && values[size_t(lag)] >= values[size_t(lag - 1)]
            && values[size_t(lag)] >= values[size_t(lag + 1)]) {
            best_lag = lag;
            best = values[size_t(lag)];
            break;
        }
    }
    return best;
}

double rms(std::span<const int16_t> samples)
{
    if (samples.empty())
        return 0;
    double sum = 0;
    for (int16_t s : samples)
        sum += double(s) * s;
    return std::sqrt(sum / double(samples.size()));
}

}

double estimate_pitch(std::span<const int16_t> samples, int rate, double min_hz, double max_hz)
{
    if (samples.empty() || rate <= 0 || min_hz <= 0 || max_hz <= min_hz || rms(samples) < silence_rms)
        return 0;
    int min_lag = std::max(2, int(rate / max_hz));
    int max_lag = int(rate / min_hz);
    if (int(samples.size()) < 2 * max_lag)
        return 0;
    int lag = 0;
    double correlation = best_correlation(samples, min_lag, max_lag, lag);
    if (lag == 0 || correlation < voicing_threshold)
        return 0;
    // Parabolic refinement around the peak for sub-sample precision.
    auto at = [&](int l) {
        double product = 0, ea = 0, eb = 0;
        for (size_t i = 0; i + size_t(l) < samples.size(); ++i) {
            double a = samples[i], b = samples[i + size_t(l)];
            product += a * b;
            ea += a * a;
            eb += b * b;
        }
        return ea > 0 && eb > 0 ? product / std::sqrt(ea * eb) : 0;
    };
    double left = at(lag - 1), middle = at(lag), right = at(lag + 1);
    double denominator = left - 2 * middle + right;
    double shift = denominator < 0 ? 0.5 * (left - right) / denominator : 0;
    return rate / (lag + std::clamp(shift, -0.5, 0.5));
}

std::vector<PitchMark> find_pitch_marks(std::span<const int16_t> samples, int rate)
{
    std::vector<PitchMark> marks;
    const size_t frame = size_t(rate) / 100;        // 10 ms
    const size_t window = size_t(rate) * 4 / 100;   // 40 ms analysed around it
    const size_t unvoiced_step = frame;
    size_t count = samples.size();
    // The period of each 10 ms frame, 0 where unvoiced.
    std::vector<double> periods;
    for (size_t at = 0; at < count; at += frame) {
        size_t centre = at + frame / 2;
        size_t begin = centre > window / 2 ? centre - window / 2 : 0;
        size_t end = std::min(count, begin + window);
        if (end - begin < window && end == count)
            begin = end > window ? end - window : 0;
        double hz = estimate_pitch(samples.subspan(begin, end - begin), rate, 60, 400);
        periods.push_back(hz > 0 ? rate / hz : 0);
    }
    auto period_at = [&](size_t position) {
        size_t index = std::min(periods.size() - 1, position / frame);
        return periods.empty() ? 0.0 : periods[index];
    };
    size_t at = 0;
    while (at < count) {
        double period = period_at(at);
        if (period <= 0) {
            marks.push_back({ uint32_t(at), false });
            at += unvoiced_step;
            continue;
        }
        // The first mark of a voiced stretch is the strongest positive peak
        // of its first period; each next one the strongest peak between
        // 0.7 and 1.3 periods after the last, so that a strong second peak
        // inside a period is not taken for the next cycle.
        bool continuing = !marks.empty() && marks.back().voiced;
        size_t end = continuing ? marks.back().position + size_t(1.3 * period) + 1 : at + size_t(period);
        end = std::min(end, count);
        if (end <= at)
            break;
        size_t peak = at;
        for (size_t i = at; i < end; ++i)
            if (samples[i] > samples[peak])
                peak = i;
        // A frame counts as voiced when its analysis window reaches into
        // voicing; where this period itself is quiet, it is not.
        if (samples[peak] < quiet_peak) {
            marks.push_back({ uint32_t(at), false });
            at += continuing ? std::max<size_t>(1, size_t(period)) : unvoiced_step;
            continue;
        }
        marks.push_back({ uint32_t(peak), true });
        at = peak + std::max<size_t>(1, size_t(0.7 * period));
    }
    return marks;
}

}
