// SPDX-License-Identifier: GPL-3.0-or-later
// RecordingSoundPlayer: a sound player that keeps what it was asked to play.
#pragma once

#include "platform/sound_player.h"

#include <cstdint>
#include <vector>

namespace platform {

class RecordingSoundPlayer final : public SoundPlayer {
public:
    void play_wave_image(std::vector<uint8_t> image) override
    {
        m_playing = true;
        m_last = std::move(image);
        ++m_started;
    }
    void stop() override
    {
        if (m_playing)
            ++m_stopped;
        m_playing = false;
    }

    bool playing() const { return m_playing; }
    const std::vector<uint8_t>& last_image() const { return m_last; }
    int started() const { return m_started; }
    int stopped() const { return m_stopped; }

private:
    std::vector<uint8_t> m_last;
    bool m_playing = false;
    int m_started = 0;
    int m_stopped = 0;
};

}
