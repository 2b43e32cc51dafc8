// SPDX-License-Identifier: GPL-3.0-or-later
// Resampling, trimming, fading and requantising of rendered sound.
#include "wave_shaping.h"

#include "audio/wave_file.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string_view>

namespace voice {

namespace {

// 63 taps put the stop band well below 8-bit quantisation noise for the
// 22050 to 11025 Hz step; the cutoff sits a little under 5512 Hz.
constexpr int filter_half_width = 31;
constexpr double cutoff = 0.45 * 0.5;

}

std::vector<int16_t> halve_rate(const std::vector<int16_t>& samples)
{
    std::vector<double> taps;
    double sum = 0;
    for (int i = -filter_half_width; i <= filter_half_width; ++i) {
        double x = 2 * cutoff * i;
        double sinc = i == 0 ? 1.0 : std::sin(M_PI * x) / (M_PI * x);
        double window = 0.42 + 0.5 * std::cos(M_PI * i / filter_half_width) + 0.08 * std::cos(2 * M_PI * i / filter_half_width);
        taps.push_back(2 * cutoff * sinc * window);
        sum += taps.back();
    }
    for (double& tap : taps)
        tap /= sum;
    std::vector<int16_t> out;
    long n = long(samples.size());
    for (long centre = 0; centre < n; centre += 2) {
        double acc = 0;
        for (int i = -filter_half_width; i <= filter_half_width; ++i) {
            long at = centre + i;
            if (at >= 0 && at < n)
                acc += taps[size_t(i + filter_half_width)] * samples[size_t(at)];
        }
        out.push_back(int16_t(std::clamp(std::lround(acc), -32768L, 32767L)));
    }
    return out;
}

std::vector<int16_t> trim_silence(const std::vector<int16_t>& samples, bool leading, bool trailing, int level)
{
    size_t begin = 0;
    size_t end = samples.size();
    if (leading)
        while (begin < end && std::abs(samples[begin]) < level)
            ++begin;
    if (trailing)
        while (end > begin && std::abs(samples[end - 1]) < level)
            --end;
    return std::vector<int16_t>(samples.begin() + long(begin), samples.begin() + long(end));
}

std::vector<int16_t> shorten_quiet_opening(const std::vector<int16_t>& samples, size_t keep, size_t frame, int level)
{
    if (frame == 0)
        return samples;
    double threshold = double(level) * double(level);
    for (size_t start = 0; start + frame <= samples.size(); start += frame) {
        double energy = 0;
        for (size_t i = start; i < start + frame; ++i)
            energy += double(samples[i]) * double(samples[i]);
        if (energy / double(frame) < threshold)
            continue;
        size_t begin = start > keep ? start - keep : 0;
        return std::vector<int16_t>(samples.begin() + long(begin), samples.end());
    }
    return samples;
}

void fade_edges(std::vector<int16_t>& samples, int fade_in_samples, int fade_out_samples)
{
    int n = int(samples.size());
    for (int i = 0; i < fade_in_samples && i < n; ++i)
        samples[size_t(i)] = int16_t(samples[size_t(i)] * i / fade_in_samples);
    for (int i = 0; i < fade_out_samples && i < n; ++i)
        samples[size_t(n - 1 - i)] = int16_t(samples[size_t(n - 1 - i)] * i / fade_out_samples);
}

std::vector<uint8_t> to_unsigned_8(const std::vector<int16_t>& samples, double gain)
{
    std::vector<uint8_t> out;
    out.reserve(samples.size());
    for (int16_t sample : samples)
        out.push_back(uint8_t(std::clamp(std::lround(sample * gain / 256.0) + 128, 0L, 255L)));
    return out;
}

std::vector<uint8_t> wave_image(const std::vector<uint8_t>& samples)
{
    return audio::make_wave_image({ database_rate, 8, 1 }, samples);
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

}
