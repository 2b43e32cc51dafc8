// SPDX-License-Identifier: GPL-3.0-or-later
// The settings' speed and pitch on espeak-ng's and speech-dispatcher's scales, at their ends and between.
#include "speech/engines/engine_scales.h"

#include <gtest/gtest.h>

namespace {

TEST(EngineScales, EspeakRate)
{
    struct Case {
        int type, speed, rate;
    };
    const Case cases[] = {
        { 5, 0, 175 }, { 5, -10, 80 }, { 5, 10, 450 }, { 5, -5, 128 }, { 5, 4, 285 },
        { 5, -40, 80 }, { 5, 99, 450 }, { 54, 10, 450 }, { 7, -10, 80 },
        // Type 4 speaks in words per minute.
        { 4, 0, 175 }, { 4, 200, 200 }, { 4, 10, 80 }, { 4, 1000, 450 }, { 4, -3, 80 },
    };
    for (const auto& test : cases)
        EXPECT_EQ(speech::espeak_rate(test.type, test.speed), test.rate) << test.type << " " << test.speed;
}

TEST(EngineScales, EspeakPitch)
{
    const std::pair<int, int> cases[] = { { 0, 50 }, { -10, 0 }, { 10, 100 }, { 3, 65 }, { -20, 0 }, { 120, 100 } };
    for (auto [pitch, expected] : cases)
        EXPECT_EQ(speech::espeak_pitch(pitch), expected) << pitch;
}

TEST(EngineScales, DispatcherRateAndPitch)
{
    const std::pair<int, int> cases[] = { { 0, 0 }, { -10, -100 }, { 10, 100 }, { 7, 70 }, { -11, -100 }, { 500, 100 } };
    for (auto [step, expected] : cases) {
        EXPECT_EQ(speech::dispatcher_rate(step), expected) << step;
        EXPECT_EQ(speech::dispatcher_pitch(step), expected) << step;
    }
}

}
