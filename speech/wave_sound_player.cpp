// SPDX-License-Identifier: GPL-3.0-or-later
// WaveSoundPlayer: the console's in-memory sounds (its tone), played through the wave output.
#include "speech/wave_sound_player.h"

#include "audio/wave_output.h"

namespace speech {

void WaveSoundPlayer::play_wave_image(std::vector<uint8_t> image)
{
    if (!m_wave)
        return;
    m_wave->wave_stop();
    m_image = std::move(image);
    // The tone plays on by itself: it is not cut by a waiting key, and the
    // call does not wait for its end.
    bool stop_on_key = m_wave->stop_on_key;
    m_wave->stop_on_key = false;
    m_wave->play_wave_image(m_image);
    m_wave->stop_on_key = stop_on_key;
}

void WaveSoundPlayer::stop()
{
    if (m_wave)
        m_wave->wave_stop();
    m_image.clear();
}

}
