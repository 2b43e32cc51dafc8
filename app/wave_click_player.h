// SPDX-License-Identifier: GPL-3.0-or-later
// WaveClickPlayer: the download's progress click, played through the wave output.
#pragma once

#include "net/network_state.h"
#include "audio/wave_output.h"

namespace app {

class WaveClickPlayer final : public net::ClickPlayer {
public:
    explicit WaveClickPlayer(audio::WaveOutput& wave)
        : m_wave(wave)
    {
    }

    // The wave output plays synchronously unless a script asked otherwise,
    // so this returns once the click has been heard (or a key cut it short).
    void play_and_wait(std::span<const uint8_t> samples_8bit_11025hz) override
    {
        m_wave.play_samples(samples_8bit_11025hz, 11025, 1, 8);
    }

private:
    audio::WaveOutput& m_wave;
};

}
