// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the sound output as the programs wire it for fast runs.
#include "app/speech_backends.h"
#include "platform/path_map.h"
#include "settings/settings.h"
#include "tests/console/console_fixture.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A fast run (virtual clock, silent device) with a sound that never ends,
// as a held organ note of the MIDI synthesiser is.
class FastRunSound : public ::testing::Test {
protected:
    FastRunSound()
    {
        test_support::ScratchFolder::write(folder / "Lumera.ini", "");
        settings = std::make_unique<settings::Settings>(
            paths, settings::SettingsPlaces { folder.path().string(), (folder / "Lumera.ini").string(), "" });
        auto made = app::SpeechBackends::create({ "null", true, true }, console.console, *settings, paths,
            console.clock, nullptr);
        if (!made)
            throw std::runtime_error(made.error().message);
        speech = std::move(*made);
        endless = speech->wave().open_stream({ 44100, 2 }, [this](std::span<int16_t> samples) {
            std::fill(samples.begin(), samples.end(), int16_t { 1000 });
            frames_given += samples.size() / 2;
            return samples.size() / 2;
        });
    }

    // Waits the way a pause does, but gives up after `rounds` waits so that
    // a clock that stands still fails the test instead of hanging it.
    uint64_t pause(int milliseconds, int rounds)
    {
        uint64_t start = console.clock.monotonic_ms();
        uint64_t deadline = start + static_cast<uint64_t>(milliseconds);
        for (int round = 0; round < rounds && console.clock.monotonic_ms() < deadline; ++round)
            console.loop.wait_event(static_cast<int>(deadline - console.clock.monotonic_ms()));
        return console.clock.monotonic_ms() - start;
    }

    test_support::ScratchFolder folder;
    platform::PathMap paths { (folder / "c").string() };
    console_test::ConsoleFixture console;
    std::unique_ptr<settings::Settings> settings;
    std::unique_ptr<app::SpeechBackends> speech;
    std::unique_ptr<audio::Stream> endless;
    size_t frames_given = 0;
};

TEST_F(FastRunSound, APauseEndsWhileASoundPlaysOn)
{
    ASSERT_NE(endless, nullptr);
    // Two seconds of 46 ms blocks take a few dozen waits; a device that
    // reports every block at once would keep the clock where it is.
    EXPECT_EQ(pause(2000, 1000), 2000u);
    EXPECT_TRUE(endless->playing());
    // The stream was asked for about as much sound as the time that passed
    // (plus the few blocks mixed ahead), not for sound without end.
    EXPECT_GE(frames_given, 2 * 44100u - 44100u / 10);
    EXPECT_LE(frames_given, 2 * 44100u + 44100u / 2);
}

TEST_F(FastRunSound, SpeechWaitEndsBesideTheSound)
{
    ASSERT_NE(endless, nullptr);
    // Half a second of 8-bit mono sound on the ring: the wait for it ends,
    // after about its length on the clock.
    std::vector<uint8_t> samples(11025 / 2, 200);
    ASSERT_EQ(speech->wave().play_samples(samples, 11025, 1, 8), 0);
    uint64_t start = console.clock.monotonic_ms();
    int rounds = 0;
    while (speech->wave().wave_busy() && rounds++ < 5000)
        speech->wave().wait_event(50);
    EXPECT_FALSE(speech->wave().wave_busy());
    EXPECT_GE(console.clock.monotonic_ms() - start, 450u);
    EXPECT_LE(console.clock.monotonic_ms() - start, 1000u);
}

TEST_F(FastRunSound, AKeyArrivesDuringThePause)
{
    ASSERT_NE(endless, nullptr);
    // A key typed while the pause runs, posted as a backend's thread would.
    platform::Event typed;
    typed.type = platform::Event::Type::Character;
    typed.character = 'x';
    console.events.post(typed);
    pause(500, 1000);
    EXPECT_TRUE(console.console.key_pressed());
    EXPECT_EQ(console.console.read_key(), 'x');
}

}
