// SPDX-License-Identifier: GPL-3.0-or-later
// WaveSoundPlayer: the console's in-memory sounds (its tone), played through the wave output.
#pragma once

#include "platform/sound_player.h"

#include <vector>

namespace audio {
class WaveOutput;
}

namespace speech {


// The console exists before the wave output (which waits through the
// console), so the output is attached once it has been built; until then,
// and after it is detached, sounds are dropped.
class WaveSoundPlayer final : public platform::SoundPlayer {
public:
    void attach(audio::WaveOutput* wave) { m_wave = wave; }

    void play_wave_image(std::vector<uint8_t> image) override;
    void stop() override;

private:
    audio::WaveOutput* m_wave = nullptr;
    std::vector<uint8_t> m_image;
};

}
