// SPDX-License-Identifier: GPL-3.0-or-later
// Shortening the quiet opening of a unit.
#include "wave_shaping.h"

#include <gtest/gtest.h>

namespace {

std::vector<int16_t> quiet_then_loud(size_t quiet, size_t loud)
{
    std::vector<int16_t> samples;
    for (size_t i = 0; i < quiet; ++i)
        samples.push_back(int16_t(i % 2 ? 300 : -300));
    for (size_t i = 0; i < loud; ++i)
        samples.push_back(int16_t(i % 2 ? 4000 : -4000));
    return samples;
}

TEST(WaveShaping, ShortensAQuietOpeningToWhatIsKept)
{
    auto shortened = voice::shorten_quiet_opening(quiet_then_loud(1000, 500), 100, 50, 1500);
    ASSERT_EQ(shortened.size(), 600u);
    EXPECT_EQ(std::abs(shortened[99]), 300);
    EXPECT_EQ(std::abs(shortened[100]), 4000);
}

TEST(WaveShaping, LeavesShortOpeningsAndQuietSoundWhole)
{
    // An opening already shorter than what is kept.
    auto short_opening = quiet_then_loud(50, 500);
    EXPECT_EQ(voice::shorten_quiet_opening(short_opening, 100, 50, 1500), short_opening);
    // Nothing reaches the level: there is no opening to shorten.
    auto quiet = quiet_then_loud(1000, 0);
    EXPECT_EQ(voice::shorten_quiet_opening(quiet, 100, 50, 1500), quiet);
    // A level the loud part does not reach either.
    auto loud = quiet_then_loud(1000, 500);
    EXPECT_EQ(voice::shorten_quiet_opening(loud, 100, 50, 5000), loud);
}

}
