// SPDX-License-Identifier: GPL-3.0-or-later
#include "pitch_analysis.h"

#include "test_voice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace diphone;

namespace {

std::vector<int16_t> buzz(double hz, size_t n)
{
    std::vector<int16_t> out(n);
    for (size_t i = 0; i < n; ++i) {
        double phase = 2 * std::numbers::pi * hz * double(i) / database_rate;
        out[i] = int16_t(6000 * std::sin(phase) + 3000 * std::sin(2 * phase) + 1500 * std::sin(3 * phase));
    }
    return out;
}

}

TEST(PitchAnalysis, EstimatesThePitchOfPeriodicSound)
{
    for (double hz : { 70.0, 97.0, 120.0, 185.0, 260.0, 350.0 }) {
        SCOPED_TRACE(hz);
        auto sound = buzz(hz, 1600);
        EXPECT_NEAR(estimate_pitch(sound, database_rate), hz, hz * 0.01);
    }
}

TEST(PitchAnalysis, FindsNoPitchInSilenceOrNoise)
{
    EXPECT_EQ(estimate_pitch(std::vector<int16_t>(1600, 0), database_rate), 0);
    auto noise = diphone_test::phoneme_sound("s", 1600, 7);
    EXPECT_EQ(estimate_pitch(noise, database_rate), 0);
    EXPECT_EQ(estimate_pitch({}, database_rate), 0);
    // Too short to hold two of the longest periods.
    EXPECT_EQ(estimate_pitch(buzz(120, 100), database_rate), 0);
}

TEST(PitchAnalysis, MarksOnePeriodApartWhenVoicedAndTenMillisecondsElsewhere)
{
    auto silence = std::vector<int16_t>(1600, 0);
    auto voiced = buzz(125, 3200); // a period of 128 samples
    std::vector<int16_t> sound = silence;
    sound.insert(sound.end(), voiced.begin(), voiced.end());
    sound.insert(sound.end(), silence.begin(), silence.end());
    auto marks = find_pitch_marks(sound, database_rate);
    ASSERT_GT(marks.size(), 10u);
    size_t voiced_marks = 0;
    for (size_t i = 0; i < marks.size(); ++i) {
        if (i > 0) {
            ASSERT_GT(marks[i].position, marks[i - 1].position);
        }
        ASSERT_LT(marks[i].position, sound.size());
        if (marks[i].position < 1400 || marks[i].position > 5000) {
            EXPECT_FALSE(marks[i].voiced) << marks[i].position;
        }
        if (!marks[i].voiced || i == 0 || !marks[i - 1].voiced)
            continue;
        ++voiced_marks;
        EXPECT_NEAR(double(marks[i].position - marks[i - 1].position), 128.0, 2.0);
    }
    EXPECT_GT(voiced_marks, 20u);
    // Unvoiced marks in the leading silence are 10 ms apart.
    EXPECT_EQ(marks[1].position - marks[0].position, 160u);
}
