// SPDX-License-Identifier: GPL-3.0-or-later
// SoundPlayer: plays a complete WAV file held in memory, in the background.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// The console's tone is a WAV file built in memory and played without
// waiting, the way the system's own sound player does it. The wave output
// of the speech folder implements this over the audio device; the headless
// one records what it was given.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing the image (a RIFF header and its samples) and returns
    // at once; a sound already playing is stopped first.
    virtual void play_wave_image(std::vector<uint8_t> image) = 0;
    // Stops at once and frees the image.
    virtual void stop() = 0;
};

}
