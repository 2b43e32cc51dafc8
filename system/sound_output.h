// SPDX-License-Identifier: GPL-3.0-or-later
// SoundOutput: the tones and recorded messages of ALARME and MENSAGEM.
#pragma once

#include <string>

namespace sys {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // A tone of that frequency (0: silence); returns when it has sounded.
    virtual void play_tone(int frequency, int duration_ms) = 0;
    // Plays a WAV file named the script's way ("c:\\x\\OLA.WAV") and returns
    // when it has been heard (a key cuts it short); a file that is missing
    // or no wave file plays nothing.
    virtual void play_wave_file(const std::string& windows_path) = 0;
};

}
