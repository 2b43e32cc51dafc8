// SPDX-License-Identifier: GPL-3.0-or-later
// The wave file of --audio: valid from its creation, and growing with everything heard.
#include "audio/wave_recording.h"
#include "tests/support/sound_fixture.h"

#include <gtest/gtest.h>

namespace {

TEST(WaveRecording, ARunThatPlaysNothingLeavesAnEmptyWave)
{
    test_support::ScratchFolder temp;
    auto path = temp.path() / "silent.wav";
    {
        auto recording = audio::WaveRecording::create(path.string(), { 11025, 8, 1 });
        ASSERT_TRUE(recording);
        platform::VirtualClock clock;
        platform::RecorderAudioDevice recorder(clock, true, recording->get());
    }
    auto bytes = sound_test::read_file(path);
    ASSERT_EQ(bytes.size(), audio::wave_header_bytes);
    auto layout = audio::read_wave_layout(std::span<const uint8_t>(bytes));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->format, (platform::PcmFormat { 11025, 8, 1 }));
    EXPECT_EQ(layout->data_size, 0u);
}

TEST(WaveRecording, TheFileHoldsWhatWasHeardInTheFirstFormat)
{
    test_support::ScratchFolder temp;
    auto path = temp.path() / "run.wav";
    auto recording = audio::WaveRecording::create(path.string(), { 11025, 8, 1 });
    ASSERT_TRUE(recording);
    sound_test::SoundWorld world;
    platform::RecorderAudioDevice recorder(world.clock, true, recording->get());
    audio::WaveOutput wave(recorder, world.port, world.paths);
    std::vector<uint8_t> loud(400, 0x10);
    wave.play_samples(loud, 22050, 1, 16);
    while (wave.wave_busy())
        wave.wait_event(50);
    // Complete after every block, before the program ends.
    auto bytes = sound_test::read_file(path);
    auto layout = audio::read_wave_layout(std::span<const uint8_t>(bytes));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->format, (platform::PcmFormat { 22050, 16, 1 }));
    EXPECT_EQ(bytes.size(), audio::wave_header_bytes + recorder.samples().size());
    EXPECT_EQ(layout->data_size, 400u);
    wave.play_samples(loud, 11025, 1, 8);
    while (wave.wave_busy())
        wave.wait_event(50);
    bytes = sound_test::read_file(path);
    layout = audio::read_wave_layout(std::span<const uint8_t>(bytes));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->data_size, 400u + 1600u) << "400 8-bit samples at half the rate, widened to 16 bits";
    auto samples = audio::wave_samples(bytes, *layout);
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), recorder.samples().begin(), recorder.samples().end()));
}

TEST(WaveRecording, AFileThatCannotBeMadeIsAnError)
{
    test_support::ScratchFolder temp;
    auto recording = audio::WaveRecording::create((temp.path() / "no/such/folder/x.wav").string(), { 11025, 8, 1 });
    ASSERT_FALSE(recording);
    EXPECT_NE(recording.error().message.find("cannot create"), std::string::npos);
}

}
