// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the tone buffer: its header, its periods and its end, byte by byte.
#include "audio/tone_image.h"

#include <gtest/gtest.h>

namespace {

uint32_t u32_at(const std::vector<uint8_t>& bytes, size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

TEST(ToneImage, HeaderOfEightBitMonoAtElevenKilohertz)
{
    auto image = audio::build_tone_image(1000);
    ASSERT_EQ(image.size(), 11071u);
    EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(image.begin() + 8, image.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(u32_at(image, 16), 16u);
    EXPECT_EQ(image[20], 1); // PCM
    EXPECT_EQ(image[22], 1); // one channel
    EXPECT_EQ(u32_at(image, 24), 11025u);
    EXPECT_EQ(u32_at(image, 28), 11025u);
    EXPECT_EQ(image[32], 1);
    EXPECT_EQ(image[34], 8);
    EXPECT_EQ(std::string(image.begin() + 36, image.begin() + 40), "data");
}

// At 1000 Hz a period is 11 samples, 5 low and 6 high; period k starts at
// sample k * 11025 / 1000. The last start that fits (44 + start <= 11025 -
// 11) is period 995 at sample 10969; period 996 would start at 10980.
TEST(ToneImage, PeriodsAtOneKilohertz)
{
    auto image = audio::build_tone_image(1000);
    EXPECT_EQ(u32_at(image, 40), 10980u);
    EXPECT_EQ(u32_at(image, 4), 10980u + 36);
    const std::vector<uint8_t> first_period { 96, 96, 96, 96, 96, 160, 160, 160, 160, 160, 160 };
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + 44, image.begin() + 55), first_period);
    // Period 40 starts at 441, not 440: the starts follow the exact ratio,
    // and the sample between holds the silent level, not a spike.
    EXPECT_EQ(image[44 + 439], 160);
    EXPECT_EQ(image[44 + 440], 128);
    EXPECT_EQ(image[44 + 441], 96);
    // The last period, then the closing sample just before the first start
    // not written.
    EXPECT_EQ(image[44 + 10969], 96);
    EXPECT_EQ(image[44 + 10973], 96);
    EXPECT_EQ(image[44 + 10974], 160);
    EXPECT_EQ(image[44 + 10978], 160);
    EXPECT_EQ(image[44 + 10979], 128);
    EXPECT_EQ(image[44 + 10980], 128);
    EXPECT_EQ(image[11070], 128);
}

TEST(ToneImage, OddPeriodsPutTheLongerHalfHigh)
{
    // 11025 / 800 = 13 samples: 6 low, 7 high.
    auto image = audio::build_tone_image(800);
    EXPECT_EQ(image[44 + 5], 96);
    EXPECT_EQ(image[44 + 6], 160);
    EXPECT_EQ(image[44 + 12], 160);
    EXPECT_EQ(image[44 + 13], 96);
}

TEST(ToneImage, FrequenciesWithoutAPeriodGiveNoTone)
{
    EXPECT_TRUE(audio::build_tone_image(0).empty());
    EXPECT_TRUE(audio::build_tone_image(-5).empty());
    EXPECT_TRUE(audio::build_tone_image(20000).empty());
    EXPECT_EQ(audio::build_tone_image(11025).size(), 11071u);
}

}
