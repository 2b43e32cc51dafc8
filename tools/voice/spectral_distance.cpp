// SPDX-License-Identifier: GPL-3.0-or-later
// MFCC and DTW.
#include "spectral_distance.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace voice {

namespace {

constexpr int rate = 11025;
constexpr int frame_length = 256;
constexpr int frame_step = 110;
constexpr int mel_bands = 24;
constexpr double lowest = 100;
constexpr double highest = 5000;

double mel_of(double hertz) { return 2595 * std::log10(1 + hertz / 700); }
double hertz_of(double mel) { return 700 * (std::pow(10, mel / 2595) - 1); }

}

std::vector<CepstralFrame> mel_cepstra(const std::vector<double>& samples)
{
    std::vector<double> emphasised(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        emphasised[i] = samples[i] - (i ? 0.97 * samples[i - 1] : 0);

    // Triangular bands, centres evenly spaced on the mel scale.
    constexpr int bins = frame_length / 2 + 1;
    std::vector<std::vector<double>> bands(mel_bands, std::vector<double>(bins, 0));
    std::vector<double> edges;
    for (int i = 0; i < mel_bands + 2; ++i)
        edges.push_back(hertz_of(mel_of(lowest) + (mel_of(highest) - mel_of(lowest)) * i / (mel_bands + 1)));
    for (int band = 0; band < mel_bands; ++band) {
        for (int bin = 0; bin < bins; ++bin) {
            double hertz = double(bin) * rate / frame_length;
            double rise = (hertz - edges[size_t(band)]) / (edges[size_t(band + 1)] - edges[size_t(band)]);
            double fall = (edges[size_t(band + 2)] - hertz) / (edges[size_t(band + 2)] - edges[size_t(band + 1)]);
            bands[size_t(band)][size_t(bin)] = std::max(0.0, std::min(rise, fall));
        }
    }

    std::vector<CepstralFrame> frames;
    for (size_t start = 0; start + frame_length <= emphasised.size(); start += frame_step) {
        std::vector<double> power(bins, 0);
        for (int bin = 0; bin < bins; ++bin) {
            double real = 0, imaginary = 0;
            for (int i = 0; i < frame_length; ++i) {
                double window = 0.54 - 0.46 * std::cos(2 * M_PI * i / (frame_length - 1));
                double x = emphasised[start + size_t(i)] * window;
                real += x * std::cos(2 * M_PI * bin * i / frame_length);
                imaginary -= x * std::sin(2 * M_PI * bin * i / frame_length);
            }
            power[size_t(bin)] = real * real + imaginary * imaginary;
        }
        std::vector<double> log_energy(mel_bands);
        for (int band = 0; band < mel_bands; ++band) {
            double energy = 0;
            for (int bin = 0; bin < bins; ++bin)
                energy += bands[size_t(band)][size_t(bin)] * power[size_t(bin)];
            log_energy[size_t(band)] = std::log(energy + 1e-6);
        }
        CepstralFrame frame {};
        for (int k = 1; k <= cepstral_coefficients; ++k) {
            double sum = 0;
            for (int band = 0; band < mel_bands; ++band)
                sum += log_energy[size_t(band)] * std::cos(M_PI * k * (band + 0.5) / mel_bands);
            frame[size_t(k - 1)] = sum;
        }
        frames.push_back(frame);
    }
    if (frames.empty())
        return frames;
    CepstralFrame mean {};
    for (const auto& frame : frames)
        for (int k = 0; k < cepstral_coefficients; ++k)
            mean[size_t(k)] += frame[size_t(k)] / double(frames.size());
    for (auto& frame : frames)
        for (int k = 0; k < cepstral_coefficients; ++k)
            frame[size_t(k)] -= mean[size_t(k)];
    return frames;
}

double warped_distance(const std::vector<CepstralFrame>& a, const std::vector<CepstralFrame>& b)
{
    if (a.empty() || b.empty())
        return std::numeric_limits<double>::infinity();
    size_t n = a.size(), m = b.size();
    constexpr double infinity = std::numeric_limits<double>::infinity();
    std::vector<double> previous(m + 1, infinity), current(m + 1, infinity);
    previous[0] = 0;
    for (size_t i = 1; i <= n; ++i) {
        current[0] = infinity;
        for (size_t j = 1; j <= m; ++j) {
            double local = 0;
            for (int k = 0; k < cepstral_coefficients; ++k) {
                double d = a[i - 1][size_t(k)] - b[j - 1][size_t(k)];
                local += d * d;
            }
            local = std::sqrt(local);
            current[j] = local + std::min({ previous[j], current[j - 1], previous[j - 1] });
        }
        std::swap(previous, current);
    }
    return previous[m] / double(n + m);
}

}
