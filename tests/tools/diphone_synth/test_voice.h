// SPDX-License-Identifier: GPL-3.0-or-later
// A small database made in the tests: a buzz of known pitch for vowels, a
// noise for fricatives, silence for the pause; every diphone between them.
#pragma once

#include "diphone_database.h"
#include "pitch_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace diphone_test {

constexpr double source_pitch = 120;

// One phoneme's sound, n samples long.
inline std::vector<int16_t> phoneme_sound(const std::string& name, size_t n, uint32_t seed)
{
    std::vector<int16_t> out(n, 0);
    if (name == "_")
        return out;
    if (name == "s") {
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> noise(-3000, 3000);
        for (auto& sample : out)
            sample = int16_t(noise(random));
        return out;
    }
    // A vowel: decaying resonances restarted every period, like a glottal
    // pulse exciting the vocal tract.
    double period = diphone::database_rate / source_pitch;
    double formant = name == "a" ? 700 : 300;
    for (size_t i = 0; i < n; ++i) {
        double t = std::fmod(double(i), period) / diphone::database_rate;
        double value = std::exp(-t * 400) * (std::sin(2 * std::numbers::pi * formant * t)
                                                + 0.6 * std::sin(2 * std::numbers::pi * 2 * formant * t));
        out[i] = int16_t(8000 * value);
    }
    return out;
}

// Diphones of 60 ms halves and 10 ms margins.
inline diphone::Diphone make_diphone(const std::string& left, const std::string& right)
{
    constexpr size_t half = 960, margin = 160;
    diphone::Diphone made;
    made.left = left;
    made.right = right;
    auto first = phoneme_sound(left, half + margin, 1);
    auto second = phoneme_sound(right, half + margin, 2);
    made.samples = first;
    made.samples.insert(made.samples.end(), second.begin(), second.end());
    made.start = margin;
    made.boundary = uint32_t(half + margin);
    made.end = uint32_t(2 * half + margin);
    made.marks = diphone::find_pitch_marks(made.samples, diphone::database_rate);
    return made;
}

inline diphone::DiphoneDatabase make_database()
{
    diphone::DiphoneDatabase database;
    const char* names[] = { "_", "a", "i", "s" };
    for (const char* left : names)
        for (const char* right : names)
            if (!(std::string(left) == "s" && std::string(right) == "i"))
                database.add(make_diphone(left, right));
    database.set_natural_pitch(uint32_t(source_pitch));
    database.set_description("test voice");
    return database;
}

// RMS of each 10 ms frame.
inline std::vector<double> frame_levels(const std::vector<float>& samples)
{
    std::vector<double> levels;
    for (size_t at = 0; at + 160 <= samples.size(); at += 160) {
        double sum = 0;
        for (size_t i = at; i < at + 160; ++i)
            sum += double(samples[i]) * samples[i];
        levels.push_back(std::sqrt(sum / 160));
    }
    return levels;
}

inline std::vector<int16_t> to_samples(const std::vector<float>& in)
{
    std::vector<int16_t> out;
    for (float value : in)
        out.push_back(int16_t(std::clamp(std::lround(value), -32768l, 32767l)));
    return out;
}

}
