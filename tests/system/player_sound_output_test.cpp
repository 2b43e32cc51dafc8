// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of tones and recorded messages through the platform's sound player.
#include "system/player_sound_output.h"

#include "platform/headless/recording_sound_player.h"
#include "platform/path_map.h"
#include "system/bitmap_file.h"
#include "tests/support/recording_ports.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace sys;

TEST(ToneImage, IsAMonoWaveOfTheAskedLength)
{
    auto image = make_tone_image(440, 250, 22050);
    ASSERT_EQ(image.size(), 44u + 22050 / 4 * 2);
    EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "RIFF");
    EXPECT_EQ(wave_duration_ms(image), 250);
    // A sine starts at zero and then rises.
    EXPECT_EQ(image[44] | (image[45] << 8), 0);
    EXPECT_GT(static_cast<int16_t>(image[46] | (image[47] << 8)), 0);
    // Frequencies the rate cannot carry stay silent rather than alias.
    auto high = make_tone_image(20000, 10, 22050);
    for (size_t i = 44; i < high.size(); ++i)
        ASSERT_EQ(high[i], 0) << i;
    EXPECT_FALSE(wave_duration_ms({ 'R', 'I', 'F', 'F' }));
}

TEST(PlayerSoundOutput, TonesAndMessagesTakeTheirTime)
{
    auto drive = std::filesystem::temp_directory_path() / ("corvante-sound-" + std::to_string(getpid()));
    std::filesystem::create_directories(drive / "msgs");
    ASSERT_TRUE(write_binary_file((drive / "msgs" / "ola.wav").string(), make_tone_image(440, 300, 22050)));
    platform::PathMap paths(drive.string());
    platform::RecordingSoundPlayer player;
    test_support::RecordingPorts ports;
    PlayerSoundOutput output(player, ports, ports, paths);

    output.play_tone(880, 120);
    EXPECT_EQ(player.started(), 1);
    EXPECT_EQ(ports.paused_ms, 120);
    EXPECT_FALSE(player.playing());

    output.play_wave_file("C:\\MSGS\\OLA.WAV");
    EXPECT_EQ(player.started(), 2);
    EXPECT_EQ(ports.paused_ms, 120 + 300);
    EXPECT_EQ(player.last_image().size(), 44u + 22050 * 3 / 10 * 2);

    // A key cuts a message short; a missing file plays nothing.
    ports.push_keys("x");
    output.play_wave_file("c:\\msgs\\ola.wav");
    EXPECT_EQ(ports.paused_ms, 120 + 300);
    output.play_wave_file("c:\\msgs\\nada.wav");
    EXPECT_EQ(player.started(), 3);
    std::filesystem::remove_all(drive);
}
