// SPDX-License-Identifier: GPL-3.0-or-later
// PlayerSoundOutput: tones and wave files through the platform's sound player.
#pragma once

#include "platform/sound_player.h"
#include "system/sound_output.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace interpreter {
class TerminalPort;
class WorldPort;
}
namespace platform {
class PathMap;
}

namespace sys {

// Builds each sound as a WAV image, hands it to the player, and lets its
// duration pass in pumped pauses, so keys and window events are handled
// meanwhile; a key stops a recorded message.
class PlayerSoundOutput final : public SoundOutput {
public:
    PlayerSoundOutput(platform::SoundPlayer& player, interpreter::TerminalPort& terminal, interpreter::WorldPort& world,
        const platform::PathMap& paths)
        : m_player(player)
        , m_terminal(terminal)
        , m_world(world)
        , m_paths(paths)
    {
    }
    void play_tone(int frequency, int duration_ms) override;
    void play_wave_file(const std::string& windows_path) override;

private:
    platform::SoundPlayer& m_player;
    interpreter::TerminalPort& m_terminal;
    interpreter::WorldPort& m_world;
    const platform::PathMap& m_paths;
};

// A 16-bit mono WAV image of a square-edged sine tone.
std::vector<uint8_t> make_tone_image(int frequency, int duration_ms, int sample_rate);
// The playing time of a WAV image in milliseconds; nothing when it is none.
std::optional<int> wave_duration_ms(const std::vector<uint8_t>& image);

}
