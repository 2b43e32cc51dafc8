// SPDX-License-Identifier: GPL-3.0-or-later
// The wave output: blocks, padding, splitting, fast playback, speech cutting, variants, stops.
#include "audio/speech_cutting.h"
#include "audio/tone_image.h"
#include "tests/support/sound_fixture.h"

#include <gtest/gtest.h>

namespace {

using sound_test::Run;
using sound_test::constant_wave;
using sound_test::write_file;
using Runs = std::vector<Run>;

std::vector<size_t> queued_sizes(const platform::RecorderAudioDevice& recorder)
{
    std::vector<size_t> sizes;
    for (const auto& block : recorder.blocks())
        sizes.push_back(block.queued_bytes);
    return sizes;
}

TEST(WaveOutput, ShortBlocksArePaddedAndEndOnSilence)
{
    sound_test::SoundWorld world;
    write_file(world.temp.path() / "c/snd/short.wav", constant_wave(90, 100));
    EXPECT_EQ(world.wave->play_wave_file("c:\\snd\\short.wav"), 0);
    EXPECT_EQ(queued_sizes(*world.recorder), (std::vector<size_t> { 256 }));
    EXPECT_EQ(world.heard(), (Runs { { 90, 99 }, { 128, 157 } }));
}

TEST(WaveOutput, LastPieceIsNeverShorterThan256Bytes)
{
    sound_test::SoundWorld world;
    write_file(world.temp.path() / "c/snd/a.wav", constant_wave(90, 8200));
    write_file(world.temp.path() / "c/snd/b.wav", constant_wave(90, 20000));
    EXPECT_EQ(world.wave->play_wave_file("c:\\snd\\a.wav"), 0);
    EXPECT_EQ(world.wave->play_wave_file("c:\\snd\\b.wav"), 0);
    EXPECT_EQ(queued_sizes(*world.recorder), (std::vector<size_t> { 7936, 264, 8192, 8192, 3616 }));
    EXPECT_EQ(world.wave->queued_blocks(), 0);
}

TEST(WaveOutput, FilesThatAreNotWavesPlayNothing)
{
    sound_test::SoundWorld world;
    std::string text = "just some text, long enough to be read";
    write_file(world.temp.path() / "c/snd/text.wav", std::vector<uint8_t>(text.begin(), text.end()));
    auto bad_format = constant_wave(90, 100, 11025, 12, 1);
    write_file(world.temp.path() / "c/snd/odd.wav", bad_format);
    auto truncated = constant_wave(90, 1000);
    truncated.resize(20);
    write_file(world.temp.path() / "c/snd/cut.wav", truncated);
    EXPECT_EQ(world.wave->play_wave_file("c:\\snd\\missing.wav"), -1);
    EXPECT_EQ(world.wave->play_wave_file("c:\\snd\\text.wav"), -1);
    EXPECT_EQ(world.wave->play_wave_file("c:\\snd\\odd.wav"), -1);
    EXPECT_EQ(world.wave->play_wave_file("c:\\snd\\cut.wav"), -1);
    EXPECT_TRUE(world.recorder->blocks().empty());
}

TEST(WaveOutput, FastPlaybackRateRoundsHalvesToEven)
{
    EXPECT_EQ(audio::fast_playback_rate(11025), 16538);
    EXPECT_EQ(audio::fast_playback_rate(22050), 33075);
    EXPECT_EQ(audio::fast_playback_rate(1001), 1502);
    EXPECT_EQ(audio::fast_playback_rate(1003), 1504);
    sound_test::SoundWorld world;
    world.wave->fast_playback = true;
    write_file(world.temp.path() / "c/snd/a.wav", constant_wave(90, 300));
    world.wave->play_wave_file("c:\\snd\\a.wav");
    ASSERT_EQ(world.recorder->blocks().size(), 1u);
    EXPECT_EQ(world.recorder->blocks()[0].format.rate, 16538);
}

TEST(WaveOutput, FormatChangesReopenTheDevice)
{
    sound_test::SoundWorld world;
    write_file(world.temp.path() / "c/snd/a.wav", constant_wave(90, 300));
    write_file(world.temp.path() / "c/snd/b.wav", constant_wave(90, 300, 22050));
    world.wave->play_wave_file("c:\\snd\\a.wav");
    world.wave->play_wave_file("c:\\snd\\a.wav");
    EXPECT_EQ(world.recorder->open_count(), 1);
    world.wave->play_wave_file("c:\\snd\\b.wav");
    EXPECT_EQ(world.recorder->open_count(), 2);
    EXPECT_EQ(world.recorder->blocks().back().format.rate, 22050);
    // The recording keeps the first format: the 22050 Hz sound is resampled.
    EXPECT_EQ(world.recorder->samples().size(), 300u + 300u + 150u);
}

// A signal with one peak of 200 every 100 samples, starting at 50.
std::vector<uint8_t> pulses(size_t length)
{
    std::vector<uint8_t> samples(length, 128);
    for (size_t i = 50; i < length; i += 100)
        samples[i] = 200;
    return samples;
}

TEST(SpeechCutting, DropsEveryOtherPeriod)
{
    auto block = pulses(4000);
    size_t length = audio::cut_speech_block(block, 11025);
    EXPECT_EQ(length, 2052u);
    auto original = pulses(4000);
    EXPECT_TRUE(std::equal(block.begin(), block.begin() + 250, original.begin())); // the start stays
    for (size_t i = 250; i < 2050; ++i)
        EXPECT_EQ(block[i], (i - 250) % 100 == 0 ? 200 : 128) << i;
    // Short blocks are not cut.
    auto short_block = pulses(999);
    EXPECT_EQ(audio::cut_speech_block(short_block, 11025), 999u);
    // Sixteen bits become eight: the high byte plus 128.
    std::vector<uint8_t> wide = { 0x00, 0x00, 0xFF, 0x7F, 0x00, 0x80 };
    EXPECT_EQ(audio::reduce_to_8_bits(wide), 3u);
    EXPECT_EQ(wide[0], 128);
    EXPECT_EQ(wide[1], 255);
    EXPECT_EQ(wide[2], 0);
}

TEST(SpeechCutting, CutsBlocksAndPrefersFastRecordings)
{
    sound_test::SoundWorld world;
    auto wave = constant_wave(0, 4000);
    auto samples = pulses(4000);
    std::copy(samples.begin(), samples.end(), wave.begin() + 44);
    write_file(world.temp.path() / "c/snd/slow.wav", wave);
    write_file(world.temp.path() / "c/snd/other.wav", wave);
    write_file(world.temp.path() / "c/snd/rapido/slow.wav", constant_wave(60, 3000));
    world.wave->speech_cutting = true;
    world.wave->play_wave_file("c:\\snd\\other.wav");
    world.wave->play_wave_file("c:\\snd\\slow.wav");
    EXPECT_EQ(queued_sizes(*world.recorder), (std::vector<size_t> { 2052, 3000 }));
    EXPECT_TRUE(world.wave->speech_cutting);
}

TEST(WaveOutput, AKeyStopsAtOnceAndStaysQueued)
{
    sound_test::SoundWorld world(true);
    write_file(world.temp.path() / "c/snd/long.wav", constant_wave(90, 11025 * 30));
    world.port.key_at(1000, 'x');
    EXPECT_EQ(world.wave->play_wave_file("c:\\snd\\long.wav"), 0);
    ASSERT_EQ(world.port.key_arrivals.size(), 1u);
    EXPECT_EQ(world.port.key_arrivals[0], 1000u);
    // What was heard ends within 30 ms of the key.
    size_t heard = world.recorder->samples().size();
    EXPECT_GE(heard, 10800u);
    EXPECT_LE(heard, 11025u * 1030 / 1000);
    // The ring held 16 blocks at most: of those in flight at the stop, one
    // was being heard and the 15 behind it were dropped unheard.
    size_t unheard = 0;
    for (const auto& block : world.recorder->blocks())
        unheard += block.heard_bytes == 0 ? 1 : 0;
    EXPECT_EQ(unheard, 15u);
    EXPECT_EQ(world.port.keys.size(), 1u);
    EXPECT_EQ(world.wave->queued_blocks(), 0);
    // With the key still waiting, nothing more starts.
    EXPECT_EQ(world.wave->play_wave_file("c:\\snd\\long.wav"), 0);
    EXPECT_EQ(world.recorder->samples().size(), heard);
}

TEST(WaveOutput, AsyncPlayReturnsAtOnce)
{
    sound_test::SoundWorld world(true);
    write_file(world.temp.path() / "c/snd/a.wav", constant_wave(90, 11025));
    world.wave->async_play = true;
    world.wave->play_wave_file("c:\\snd\\a.wav");
    EXPECT_TRUE(world.wave->wave_busy());
    EXPECT_EQ(world.clock.monotonic_ms(), 0u);
    while (world.wave->wave_busy())
        world.wave->wait_event(50);
    EXPECT_GE(world.clock.monotonic_ms(), 1000u);
    EXPECT_EQ(world.recorder->samples().size(), 11025u);
}

}

namespace {

TEST(SoundOutput, TonesPlayWithoutWaitingAndStopAtOnce)
{
    sound_test::SoundWorld world(true);
    world.port.keys.push_back('k'); // a waiting key does not cut a tone
    world.wave->start_tone(constant_wave(90, 11025));
    EXPECT_EQ(world.clock.monotonic_ms(), 0u);
    EXPECT_EQ(world.wave->queued_blocks(), 2);
    EXPECT_TRUE(world.wave->stop_on_key);
    world.clock.pass_ms(100);
    world.wave->stop_tone();
    EXPECT_EQ(world.wave->queued_blocks(), 0);
    EXPECT_NEAR(static_cast<double>(world.recorder->samples().size()), 1102.0, 12.0);
}

TEST(SoundOutput, AlarmTonesSoundForTheirWholeLength)
{
    sound_test::SoundWorld world(true);
    world.wave->play_tone(440, 250);
    // Each block's time is rounded up to the millisecond.
    EXPECT_GE(world.clock.monotonic_ms(), 250u);
    EXPECT_LE(world.clock.monotonic_ms(), 252u);
    auto after_tone = world.clock.monotonic_ms();
    EXPECT_EQ(world.recorder->file_format(), (platform::PcmFormat { audio::alarm_sample_rate, 16, 1 }));
    EXPECT_EQ(world.recorder->samples().size(), 22050u / 4 * 2);
    world.wave->play_tone(440, 0);
    EXPECT_EQ(world.clock.monotonic_ms(), after_tone);
}

}
