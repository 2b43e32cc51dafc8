// SPDX-License-Identifier: GPL-3.0-or-later
// Streams mixed with the speech ring: sums, keys, volume, pause, ends, and the way back to the ring's own format.
#include "audio/mixer.h"
#include "base/byte_order.h"
#include "tests/support/sound_fixture.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using sound_test::SoundWorld;

// A source of `frames` frames (forever when negative) of one value per channel.
audio::StreamSource constant_source(std::vector<int16_t> values, long frames = -1)
{
    auto left = std::make_shared<long>(frames);
    return [values, left](std::span<int16_t> samples) {
        size_t wanted = samples.size() / values.size();
        size_t given = *left < 0 ? wanted : std::min<size_t>(wanted, static_cast<size_t>(*left));
        for (size_t frame = 0; frame < given; ++frame)
            std::copy(values.begin(), values.end(), samples.begin() + static_cast<long>(frame * values.size()));
        if (*left >= 0)
            *left -= static_cast<long>(given);
        return given;
    };
}

struct Frame {
    int left;
    int right;
};

// The recording as frames of mix_format.
std::vector<Frame> frames_of(const platform::RecorderAudioDevice& recorder)
{
    EXPECT_EQ(recorder.file_format(), audio::mix_format);
    const auto& bytes = recorder.samples();
    std::vector<Frame> frames;
    for (size_t at = 0; at + 4 <= bytes.size(); at += 4)
        frames.push_back({ static_cast<int16_t>(base::read_le16(&bytes[at])), static_cast<int16_t>(base::read_le16(&bytes[at + 2])) });
    return frames;
}

size_t count_of(const std::vector<Frame>& frames, int value, size_t from = 0)
{
    size_t count = 0;
    for (size_t i = from; i < frames.size(); ++i)
        count += frames[i].left == value && frames[i].right == value ? 1 : 0;
    return count;
}

void play_out(SoundWorld& world, const audio::Stream& stream)
{
    for (int pass = 0; pass < 1000 && (stream.playing() || world.wave->wave_busy()); ++pass)
        world.wave->wait_event(50);
}

TEST(Mixer, SpeechIsAddedToAStream)
{
    SoundWorld world;
    auto stream = world.wave->open_stream({ 44100, 1 }, constant_source({ 1000 }, 44100));
    ASSERT_TRUE(stream);
    EXPECT_TRUE(world.wave->is_mixing());
    // A tenth of a second of speech at +2560 (8-bit 138), at 11025 Hz.
    std::vector<uint8_t> speech(1102, 138);
    EXPECT_EQ(world.wave->play_samples(speech, 11025, 1, 8), 0);
    play_out(*&world, *stream);
    EXPECT_FALSE(stream->playing());
    EXPECT_EQ(stream->frames_heard(), 44100u);
    auto frames = frames_of(*world.recorder);
    // The stream's whole second, the speech inside it from where it was
    // queued (after the blocks mixed ahead), and nothing after the end.
    ASSERT_EQ(frames.size(), 44100u);
    EXPECT_EQ(frames.front().left, 1000);
    EXPECT_EQ(frames.back().left, 1000);
    EXPECT_NEAR(static_cast<double>(count_of(frames, 3560)), 4400.0, 4.0);
    EXPECT_EQ(count_of(frames, 1000) + count_of(frames, 3560), 44100u - 3); // 3 frames of the ring's closing slope
    EXPECT_EQ(world.wave->queued_blocks(), 0);
}

TEST(Mixer, AKeyStopsSpeechButNotTheStream)
{
    SoundWorld world(true);
    auto stream = world.wave->open_stream({ 22050, 1 }, constant_source({ 1000 }));
    ASSERT_TRUE(stream);
    sound_test::write_file(world.temp.path() / "c/long.wav", sound_test::constant_wave(138, 11025 * 3));
    world.port.key_at(500, 'x');
    EXPECT_EQ(world.wave->play_wave_file("c:\\long.wav"), 0);
    EXPECT_LE(world.clock.monotonic_ms(), 600u);
    EXPECT_EQ(world.wave->queued_blocks(), 0);
    while (world.clock.monotonic_ms() < 1500)
        world.wave->wait_event(50);
    EXPECT_TRUE(stream->playing());
    EXPECT_EQ(world.port.keys.size(), 1u) << "the key stays for its reader";
    auto frames = frames_of(*world.recorder);
    // Music throughout, speech until shortly after the key.
    EXPECT_GE(frames.size(), 44100u * 14 / 10);
    EXPECT_GT(count_of(frames, 3560), 44100u * 4 / 10);
    EXPECT_EQ(count_of(frames, 3560, 44100 * 8 / 10), 0u);
    EXPECT_EQ(count_of(frames, 1000, 44100 * 8 / 10), frames.size() - 44100 * 8 / 10);
}

TEST(Mixer, VolumeAndPauseActOnTheirStream)
{
    SoundWorld world;
    auto stream = world.wave->open_stream({ 44100, 2 }, constant_source({ 2000, -2000 }));
    ASSERT_TRUE(stream);
    stream->set_volume(500, 250);
    // A pump hears the blocks mixed ahead and mixes the next ones, which
    // the following pump hears.
    world.wave->pump();
    world.wave->pump();
    auto frames = frames_of(*world.recorder);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front().left, 2000); // mixed before the change
    EXPECT_EQ(frames.back().left, 1000);
    EXPECT_EQ(frames.back().right, -500);

    stream->set_paused(true);
    world.wave->pump();
    world.wave->pump();
    auto heard = stream->frames_heard();
    auto recorded = world.recorder->samples().size();
    world.wave->pump();
    world.wave->wait_event(50);
    EXPECT_EQ(stream->frames_heard(), heard);
    EXPECT_EQ(world.recorder->samples().size(), recorded);
    EXPECT_TRUE(stream->playing());
    stream->set_paused(false);
    world.wave->pump();
    EXPECT_GT(stream->frames_heard(), heard);

    stream->set_volume(5000, -3); // held to 0..1000
    world.wave->pump();
    world.wave->pump();
    frames = frames_of(*world.recorder);
    EXPECT_EQ(frames.back().left, 2000);
    EXPECT_EQ(frames.back().right, 0);

    stream->stop();
    world.wave->pump();
    EXPECT_FALSE(stream->playing());
    recorded = world.recorder->samples().size();
    world.wave->pump();
    EXPECT_EQ(world.recorder->samples().size(), recorded);
}

TEST(Mixer, TwoStreamsAreSummedAndClipped)
{
    SoundWorld world;
    auto first = world.wave->open_stream({ 44100, 1 }, constant_source({ 30000 }, 4096));
    auto second = world.wave->open_stream({ 44100, 1 }, constant_source({ 10000 }, 8192));
    ASSERT_TRUE(first && second);
    play_out(world, *second);
    auto frames = frames_of(*world.recorder);
    // The first stream's blocks were mixed before the second was open.
    EXPECT_EQ(count_of(frames, 30000), 4096u);
    EXPECT_EQ(count_of(frames, 10000), 8192u);
    EXPECT_EQ(frames.size(), 4096u + 8192u) << "streams that run dry add no silence";
    first.reset();
    second.reset();
    auto empty = world.wave->open_stream({ 44100, 1 }, constant_source({ 30000 }, 0));
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->playing());
    // Loud speech over a loud stream: 299 samples of +32512 and a closing
    // 128, each 4 frames at 44100 Hz; all but the slope's last frame clip.
    auto loud = world.wave->open_stream({ 44100, 1 }, constant_source({ 30000 }));
    ASSERT_TRUE(loud);
    std::vector<uint8_t> speech(300, 255);
    world.wave->play_samples(speech, 11025, 1, 8);
    while (world.wave->wave_busy())
        world.wave->wait_event(50);
    frames = frames_of(*world.recorder);
    EXPECT_EQ(count_of(frames, 32767), 1196u) << "sums past the 16-bit range are clipped, not wrapped";
    EXPECT_EQ(count_of(frames, -32768), 0u);
}

TEST(Mixer, TheRingReturnsToItsOwnFormatWhenStreamsAreDone)
{
    SoundWorld world;
    auto stream = world.wave->open_stream({ 44100, 1 }, constant_source({ 500 }, 100));
    ASSERT_TRUE(stream);
    play_out(world, *stream);
    std::vector<uint8_t> speech(300, 138);
    world.wave->play_samples(speech, 11025, 1, 8);
    while (world.wave->wave_busy())
        world.wave->wait_event(50);
    EXPECT_TRUE(world.wave->is_mixing()) << "the handle is still open";
    stream.reset();
    world.wave->play_samples(speech, 11025, 1, 8);
    EXPECT_FALSE(world.wave->is_mixing());
    while (world.wave->wave_busy())
        world.wave->wait_event(50);
    EXPECT_EQ(world.recorder->open_count(), 2);
    EXPECT_EQ(world.recorder->blocks().back().format, (platform::PcmFormat { 11025, 8, 1 }));
    EXPECT_EQ(world.recorder->blocks().back().queued_bytes, 300u);
}

TEST(Mixer, SpeechQueuedBeforeAStreamIsNeitherLostNorRepeated)
{
    SoundWorld world(true);
    // Two seconds of speech queued in the ring's own format, then music.
    std::vector<uint8_t> speech(22050, 138);
    world.wave->play_samples(speech, 11025, 1, 8);
    EXPECT_EQ(world.wave->queued_blocks(), 3);
    auto stream = world.wave->open_stream({ 44100, 1 }, constant_source({ 0 }, 44100 * 3));
    ASSERT_TRUE(stream);
    EXPECT_EQ(world.wave->queued_blocks(), 3);
    while (world.wave->wave_busy())
        world.wave->wait_event(50);
    // The recording keeps the first format, 8-bit at 11025 Hz.
    size_t speech_samples = 0;
    for (uint8_t sample : world.recorder->samples())
        speech_samples += sample == 138 ? 1 : 0;
    EXPECT_NEAR(static_cast<double>(speech_samples), 22050.0, 8.0);
    EXPECT_GE(world.clock.monotonic_ms(), 2000u);
}

TEST(Mixer, ConversionKeepsPitchAndLevels)
{
    // A 441 Hz sine at 22050 Hz becomes twice the frames with the same pitch.
    std::vector<uint8_t> sine(2205 * 2);
    for (size_t i = 0; i < 2205; ++i)
        base::write_le16(&sine[i * 2], static_cast<uint16_t>(static_cast<int16_t>(std::lround(10000 * std::sin(2 * M_PI * 441.0 * static_cast<double>(i) / 22050.0)))));
    auto converted = audio::convert_to_mix(sine, { 22050, 16, 1 });
    ASSERT_EQ(converted.size(), 4410u * 2);
    int crossings = 0;
    for (size_t i = 2; i < converted.size(); i += 2) {
        EXPECT_EQ(converted[i], converted[i + 1]) << "both sides";
        crossings += (converted[i - 2] < 0) != (converted[i] < 0) ? 1 : 0;
    }
    EXPECT_NEAR(crossings, 88, 2);
    // Eight-bit samples are unsigned around 128.
    std::vector<uint8_t> eight = { 0, 128, 255 };
    auto levels = audio::convert_to_mix(eight, { 44100, 8, 1 });
    ASSERT_EQ(levels.size(), 6u);
    EXPECT_EQ(levels[0], -32768);
    EXPECT_EQ(levels[2], 0);
    EXPECT_EQ(levels[4], 32512);
    EXPECT_TRUE(audio::convert_to_mix({}, { 44100, 16, 2 }).empty());
}

TEST(Mixer, StreamsOfNoFormatAreRefused)
{
    SoundWorld world;
    EXPECT_FALSE(world.wave->open_stream({ 500, 1 }, constant_source({ 1 })));
    EXPECT_FALSE(world.wave->open_stream({ 44100, 3 }, constant_source({ 1, 1, 1 })));
    EXPECT_FALSE(world.wave->is_mixing());
}

}
