// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of music and MIDI through the real sound output, heard by the recorder device.
#include "media/media_state.h"
#include "media/output_streams.h"

#include "tests/support/sound_fixture.h"
#include "tests/media/media_files.h"
#include "tests/media/signal_analysis.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace media_test;

class MediaOutputTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (MediaFiles::folder().empty())
            GTEST_SKIP() << "sox or lame is missing";
        world.paths.set_drive('m', MediaFiles::folder());
    }
    std::string send(std::string_view command) { return state.control().send(command); }
    // Lets time pass on the virtual clock while the output plays, pumping
    // as the event loop does.
    void play_for(int milliseconds)
    {
        uint64_t end = world.clock.monotonic_ms() + static_cast<uint64_t>(milliseconds);
        while (world.clock.monotonic_ms() < end) {
            world.wave->wait_event(static_cast<int>(end - world.clock.monotonic_ms()));
            state.pump();
        }
    }
    // The recording so far, as 16-bit samples of one side.
    std::vector<int16_t> recorded(int channel = 0)
    {
        auto format = world.recorder->file_format();
        EXPECT_EQ(format.bits, 16);
        const auto& bytes = world.recorder->samples();
        std::vector<int16_t> samples(bytes.size() / 2);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        return channel_of(samples, format.channels, channel);
    }
    int rate() { return world.recorder->file_format().rate; }

    sound_test::SoundWorld world { true };
    media::OutputStreams streams { *world.wave };
    media::MediaState state { streams, world.paths, media::default_soundfont };
};

TEST_F(MediaOutputTest, MusicIsRecordedAtItsPitchAndItsPlace)
{
    ASSERT_EQ(send(R"(open m:\two_tones.mp3 alias m)"), "1");
    send("play m");
    play_for(700);
    auto left = recorded();
    ASSERT_GT(left.size(), size_t(rate() / 2));
    EXPECT_NEAR(dominant_frequency(std::span(left).subspan(left.size() / 4, size_t(rate() / 4)), rate(), 200, 2000), 440, 4.4);
    // The position is what the device has played, within one of its blocks.
    EXPECT_NEAR(std::stod(send("status m position")), 1000.0 * double(left.size()) / rate(), 60);
    send("seek m to 1200");
    send("play m");
    play_for(500);
    left = recorded();
    EXPECT_NEAR(dominant_frequency(std::span(left).last(size_t(rate() / 5)), rate(), 200, 2000), 880, 8.8);
}

TEST_F(MediaOutputTest, VolumeFiveHundredHalvesTheAmplitude)
{
    ASSERT_EQ(send(R"(open m:\two_tones.wav alias v)"), "1");
    send("play v");
    play_for(400);
    auto left = recorded();
    double full = rms(std::span(left).last(size_t(rate() / 10)));
    ASSERT_GT(full, 5000);
    // The output mixes about 0.2 s ahead of what is heard, so a change is
    // looked for 0.5 s after it.
    send("setaudio v volume to 500");
    play_for(500);
    left = recorded();
    EXPECT_NEAR(rms(std::span(left).last(size_t(rate() / 10))) / full, 0.5, 0.02);
    send("setaudio v left volume to 0");
    play_for(500);
    left = recorded();
    auto right = recorded(1);
    EXPECT_LT(rms(std::span(left).last(size_t(rate() / 10))), 2);
    EXPECT_NEAR(rms(std::span(right).last(size_t(rate() / 10))) / full, 0.5, 0.02);
}

TEST_F(MediaOutputTest, SpeechPlaysOverMusicAndAKeyStopsOnlySpeech)
{
    ASSERT_EQ(send(R"(open m:\two_tones.wav alias m)"), "1");
    send("play m");
    play_for(200);
    // A long "speech" sound of one constant value rides on the music.
    std::vector<uint8_t> speech(11025 * 3, 200);
    world.wave->async_play = true;
    world.port.key_at(world.clock.monotonic_ms() + 400, 'x');
    world.wave->play_samples(speech, 11025, 1, 8);
    size_t speech_start = recorded().size();
    play_for(300);
    auto left = recorded();
    auto both = std::span(left).subspan(speech_start, left.size() - speech_start);
    double mean = 0;
    for (int16_t sample : both)
        mean += sample;
    mean /= double(both.size());
    EXPECT_GT(mean, 5000) << "the speech is not in the mix";
    EXPECT_GT(energy_at(both, rate(), 440), 1e5) << "the music is not in the mix";
    // The key cuts the speech (at the next check of the ring, which every
    // wait of speech makes); the music plays on.
    play_for(100);
    EXPECT_FALSE(world.wave->wave_busy());
    EXPECT_EQ(send("status m mode"), "playing");
    play_for(300);
    size_t after_key = recorded().size();
    play_for(300);
    left = recorded();
    auto rest = std::span(left).subspan(after_key, left.size() - after_key);
    ASSERT_GT(rest.size(), size_t(rate() / 5));
    EXPECT_NEAR(dominant_frequency(rest, rate(), 200, 2000), 440, 4.4);
    double rest_mean = 0;
    for (int16_t sample : rest)
        rest_mean += sample;
    EXPECT_LT(std::abs(rest_mean / double(rest.size())), 500);
}

TEST_F(MediaOutputTest, MidiNoteIsRecordedAtFourHundredAndFortyHertz)
{
    if (!std::filesystem::exists(media::default_soundfont))
        GTEST_SKIP() << "the General MIDI sound bank is missing";
    state.start_midi();
    ASSERT_EQ(state.midi_error(), "");
    play_for(100);
    size_t start = recorded().size();
    ASSERT_TRUE(state.send_midi(144 + 256 * 69 + 65536 * 100));
    play_for(800);
    auto left = recorded();
    auto note = std::span(left).subspan(start + size_t(rate() / 5), size_t(rate() / 2));
    EXPECT_NEAR(dominant_frequency(note, rate(), 100, 2000), 440, 4.4);
    ASSERT_TRUE(state.send_midi(144 + 256 * 69));
    play_for(1500);
    left = recorded();
    EXPECT_LT(rms(std::span(left).last(size_t(rate() / 10))), 2);
    state.stop_midi();
}

}
