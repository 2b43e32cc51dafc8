// SPDX-License-Identifier: GPL-3.0-or-later
// SoundOutput: the tones every output plays the same way, over its ring.
#include "audio/sound_output.h"

#include "audio/tone_image.h"

namespace audio {

void SoundOutput::play_tone(int frequency, int duration_ms)
{
    // The tone sounds for its whole length, as the system beep did.
    if (duration_ms <= 0)
        return;
    if (play_wave_image(make_alarm_image(frequency, duration_ms)) != 0)
        return;
    while (wave_busy())
        wait_event(50);
}

void SoundOutput::start_tone(std::span<const uint8_t> image)
{
    wave_stop();
    // The tone plays on by itself: it is not cut by a waiting key, and the
    // call does not wait for its end.
    bool key_stops = stop_on_key;
    stop_on_key = false;
    play_wave_image(image);
    stop_on_key = key_stops;
}

void SoundOutput::stop_tone()
{
    wave_stop();
}

}
