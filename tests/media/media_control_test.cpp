// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the media devices: opening, playing, positions, volume, errors.
#include "media/media_control.h"

#include "platform/path_map.h"
#include "tests/media/fake_mixer.h"
#include "tests/media/media_files.h"
#include "tests/media/signal_analysis.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace media_test;

class MediaControlTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (MediaFiles::folder().empty())
            GTEST_SKIP() << "sox or lame is missing";
        paths.set_drive('m', MediaFiles::folder());
    }

    std::string send(std::string_view command) { return control.send(command); }
    void play_for(int milliseconds)
    {
        mixer.play_for(milliseconds, [this] { control.pump(); });
    }
    // What the most recently opened stream has let be heard.
    StreamRecord& last_stream() { return *mixer.records.back(); }
    static int64_t number(const std::string& text) { return std::stoll(text); }

    FakeMixer mixer;
    platform::PathMap paths { "" };
    media::MediaControl control { mixer, paths };
};

TEST_F(MediaControlTest, OpenAnswersTheDeviceNumberAndStatusAnswersTheMode)
{
    EXPECT_EQ(send(R"(open "mpegvideo!m:\two_tones.mp3" alias musica)"), "1");
    EXPECT_EQ(control.last_error(), "");
    EXPECT_EQ(send("status musica mode"), "stopped");
    EXPECT_EQ(send("status musica ready"), "true");
    EXPECT_EQ(send("status musica time format"), "milliseconds");
    EXPECT_EQ(send("window musica handle 4711"), "");
    EXPECT_EQ(control.last_error(), "");
    EXPECT_EQ(send("play musica"), "");
    EXPECT_EQ(send("status MUSICA mode"), "playing");
    EXPECT_EQ(send("pause musica"), "");
    EXPECT_EQ(send("status musica mode"), "paused");
    EXPECT_EQ(send("resume musica"), "");
    EXPECT_EQ(send("status musica mode"), "playing");
    EXPECT_EQ(send("stop musica"), "");
    EXPECT_EQ(send("status musica mode"), "stopped");
    EXPECT_EQ(send("close musica"), "");
    EXPECT_EQ(send("status musica mode"), "");
    EXPECT_NE(control.last_error(), "");
}

TEST_F(MediaControlTest, LengthIsWithinOnePercentForEveryKindOfFile)
{
    struct Expected {
        const char* file;
        int64_t milliseconds;
        int rate;
    };
    const Expected files[] = {
        { "tone440.wav", 1000, 44100 },
        { "tone8bit.wav", 500, 22050 },
        { "two_tones.wav", 2000, 44100 },
        { "two_tones.mp3", 2000, 44100 },
        { "two_tones_vbr.mp3", 2000, 44100 },
        { "long_vbr.mp3", 20000, 44100 },
    };
    for (const auto& expected : files) {
        std::string file = expected.file;
        std::string device = file.ends_with(".wav") ? "waveaudio" : "mpegvideo";
        ASSERT_EQ(send("open " + device + "!m:\\" + file + " alias x"), "1") << file << ": " << control.last_error();
        int64_t length = number(send("status x length"));
        EXPECT_NEAR(double(length), double(expected.milliseconds), expected.milliseconds * 0.01) << file;
        send("set x time format samples");
        int64_t samples = number(send("status x length"));
        EXPECT_NEAR(double(samples) * 1000 / expected.rate, double(length), 1.0) << file;
        send("close x");
    }
}

TEST_F(MediaControlTest, PlaysTheToneOfTheFile)
{
    ASSERT_EQ(send(R"(open m:\tone440.wav alias t)"), "1");
    send("play t");
    play_for(1200);
    auto& heard = last_stream().heard;
    ASSERT_EQ(last_stream().format.channels, 1);
    EXPECT_NEAR(double(heard.size()), 44100, 1);
    EXPECT_NEAR(dominant_frequency(heard, 44100, 200, 2000), 440, 4.4);
    EXPECT_EQ(send("status t mode"), "stopped");
    EXPECT_EQ(send("status t position"), "1000");

    // Eight-bit stereo samples become sixteen-bit ones of the same sound.
    ASSERT_EQ(send(R"(open m:\tone8bit.wav alias e)"), "2");
    send("play e");
    play_for(600);
    auto left = channel_of(last_stream().heard, 2, 0);
    EXPECT_NEAR(double(left.size()), 11025, 1);
    EXPECT_NEAR(dominant_frequency(left, 22050, 200, 4000), 1000, 10);
    EXPECT_GT(rms(left), 8000);
}

TEST_F(MediaControlTest, PositionAfterSeekPlaysTheSecondTone)
{
    for (const char* file : { "two_tones.wav", "two_tones.mp3", "two_tones_vbr.mp3" }) {
        ASSERT_EQ(send(std::string("open m:\\") + file + " alias d"), "1") << control.last_error();
        send("seek d to 1500");
        EXPECT_EQ(send("status d position"), "1500") << file;
        EXPECT_EQ(send("status d mode"), "stopped");
        send("play d");
        play_for(300);
        int64_t position = number(send("status d position"));
        EXPECT_NEAR(double(position), 1800, 20) << file;
        auto left = channel_of(last_stream().heard, 2, 0);
        ASSERT_GE(left.size(), 8820u);
        EXPECT_NEAR(dominant_frequency(std::span(left).first(8820), 44100, 200, 2000), 880, 8.8) << file;
        send("seek d to start");
        EXPECT_EQ(send("status d position"), "0");
        send("seek d to end");
        EXPECT_NEAR(double(number(send("status d position"))), 2000, 20);
        EXPECT_EQ(send("seek d to 999999"), "");
        EXPECT_NE(control.last_error(), "");
        send("close d");
    }
}

TEST_F(MediaControlTest, PauseKeepsThePlaceAndPlayFromStartsElsewhere)
{
    ASSERT_EQ(send(R"(open m:\two_tones.mp3 alias m)"), "1");
    send("play m");
    play_for(400);
    send("pause m");
    int64_t paused_at = number(send("status m position"));
    EXPECT_NEAR(double(paused_at), 400, 20);
    // Nothing more is heard while paused.
    size_t heard = last_stream().heard.size();
    play_for(500);
    EXPECT_EQ(last_stream().heard.size(), heard);
    EXPECT_EQ(number(send("status m position")), paused_at);
    // Play without "from" goes on where the pause left.
    send("play m");
    play_for(200);
    EXPECT_NEAR(double(number(send("status m position"))), double(paused_at + 200), 20);
    // "from" and "to" choose the stretch; the device stops at "to".
    send("play m from 1200 to 1500");
    play_for(100);
    auto left = channel_of(last_stream().heard, 2, 0);
    EXPECT_NEAR(dominant_frequency(std::span(left).last(2205), 44100, 200, 2000), 880, 8.8);
    play_for(400);
    EXPECT_EQ(send("status m mode"), "stopped");
    EXPECT_EQ(send("status m position"), "1500");
    // Ranges past the end, or backwards, are refused.
    EXPECT_EQ(send("play m from 3000"), "");
    EXPECT_NE(control.last_error(), "");
    EXPECT_EQ(send("play m from 1000 to 500"), "");
    EXPECT_NE(control.last_error(), "");
}

TEST_F(MediaControlTest, VolumeScalesEachSideAtOnce)
{
    ASSERT_EQ(send(R"(open m:\two_tones.wav alias v)"), "1");
    send("play v");
    play_for(200);
    auto full = channel_of(last_stream().heard, 2, 0);
    double full_level = rms(std::span(full).last(4410));
    ASSERT_GT(full_level, 5000);

    send("setaudio v left volume to 500");
    play_for(200);
    auto& samples = last_stream().heard;
    auto left = channel_of(samples, 2, 0);
    auto right = channel_of(samples, 2, 1);
    EXPECT_NEAR(rms(std::span(left).last(4410)) / full_level, 0.5, 0.01);
    EXPECT_NEAR(rms(std::span(right).last(4410)) / full_level, 1.0, 0.01);
    // The place is kept across the change of volume.
    EXPECT_NEAR(double(number(send("status v position"))), 400, 20);

    send("setaudio v right volume to 0");
    play_for(100);
    right = channel_of(last_stream().heard, 2, 1);
    EXPECT_LT(rms(std::span(right).last(2205)), 1);
    send("setaudio v volume to 1000");
    play_for(100);
    left = channel_of(last_stream().heard, 2, 0);
    EXPECT_NEAR(rms(std::span(left).last(2205)) / full_level, 1.0, 0.02);
}

TEST_F(MediaControlTest, TwoAliasesPlayTogether)
{
    ASSERT_EQ(send(R"(open m:\tone440.wav alias a)"), "1");
    ASSERT_EQ(send(R"(open "m:\two_tones.mp3" type mpegvideo alias b)"), "2");
    EXPECT_EQ(send(R"(open m:\tone440.wav alias A)"), "");
    EXPECT_NE(control.last_error(), "");
    send("play a");
    send("play b from 1000");
    play_for(300);
    EXPECT_EQ(send("status a mode"), "playing");
    EXPECT_EQ(send("status b mode"), "playing");
    ASSERT_EQ(mixer.records.size(), 2u);
    EXPECT_NEAR(dominant_frequency(mixer.records[0]->heard, 44100, 200, 2000), 440, 4.4);
    auto second = channel_of(mixer.records[1]->heard, 2, 0);
    EXPECT_NEAR(dominant_frequency(second, 44100, 200, 2000), 880, 8.8);
    send("stop b");
    EXPECT_EQ(send("status a mode"), "playing");
    // A closed device's number is given to the next one.
    send("close a");
    EXPECT_EQ(send(R"(open m:\tone440.wav alias c)"), "1");
    send("close all");
    EXPECT_EQ(send("status b mode"), "");
    EXPECT_EQ(send("status c mode"), "");
}

TEST_F(MediaControlTest, PlayOfAFileOpensItAndClosesItAtTheEnd)
{
    EXPECT_EQ(send(R"(play "m:\tone440.wav")"), "");
    EXPECT_EQ(control.last_error(), "");
    EXPECT_EQ(send(R"(status m:\tone440.wav mode)"), "playing");
    play_for(1100);
    EXPECT_FALSE(control.playing());
    EXPECT_EQ(send(R"(status m:\tone440.wav mode)"), "");
    EXPECT_FALSE(last_stream().open);
    EXPECT_NEAR(double(last_stream().heard.size()), 44100, 1);

    // Stopped, or never started, it is closed too.
    send(R"(play m:\tone440.wav)");
    EXPECT_EQ(send(R"(stop m:\tone440.wav)"), "");
    EXPECT_EQ(send(R"(status m:\tone440.wav mode)"), "");
    EXPECT_EQ(send(R"(play m:\tone440.wav from 5000)"), "");
    EXPECT_NE(control.last_error(), "");
    EXPECT_EQ(send(R"(status m:\tone440.wav mode)"), "");
    EXPECT_EQ(send(R"(open m:\tone440.wav alias again)"), "1");
}

TEST_F(MediaControlTest, FailuresAnswerEmptyAndSayWhy)
{
    const char* failing[] = {
        R"(open m:\nothing_here.mp3 alias x)",
        R"(open cdaudio!m:\tone440.wav alias x)",
        R"(open m:\tone440.wav type sequencer alias x)",
        R"(open m:\tone440.txt alias x)",
        R"(open waveaudio!m:\two_tones.mp3 alias x)",
        R"(open m:\damaged.mp3 alias x)",
        "play nobody",
        "status nobody mode",
        "pause nobody",
        "frobnicate everything",
        "",
    };
    for (const char* command : failing) {
        EXPECT_EQ(send(command), "") << command;
        EXPECT_NE(control.last_error(), "") << command;
    }
    EXPECT_TRUE(mixer.records.empty());
}

TEST_F(MediaControlTest, ACutFilePlaysWhatItHas)
{
    ASSERT_EQ(send(R"(open m:\cut.mp3 alias c)"), "1");
    int64_t length = number(send("status c length"));
    EXPECT_GT(length, 700);
    EXPECT_LT(length, 1300);
    send("play c");
    play_for(1500);
    EXPECT_EQ(send("status c mode"), "stopped");
    EXPECT_GT(last_stream().heard.size(), 2u * 44100 * 700 / 1000);
}

TEST_F(MediaControlTest, AStreamTheOutputRefusesFailsThePlay)
{
    mixer.refuse_streams = true;
    EXPECT_EQ(send(R"(open m:\tone440.wav alias x)"), "1");
    EXPECT_EQ(send("play x"), "");
    EXPECT_NE(control.last_error(), "");
    EXPECT_EQ(send("status x mode"), "stopped");
    mixer.refuse_streams = false;
    EXPECT_EQ(send("play x from 500"), "");
    EXPECT_EQ(send("status x mode"), "playing");
}

TEST_F(MediaControlTest, OpenDevicesAreBounded)
{
    for (size_t i = 0; i < media::MediaControl::max_devices; ++i)
        ASSERT_EQ(send(R"(open m:\tone440.wav alias d)" + std::to_string(i)), std::to_string(i + 1));
    EXPECT_EQ(send(R"(open m:\tone440.wav alias one_more)"), "");
    EXPECT_NE(control.last_error(), "");
}

}
