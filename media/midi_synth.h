// SPDX-License-Identifier: GPL-3.0-or-later
// MidiSynth: a General MIDI synthesiser that renders short messages into a sound stream.
#pragma once

#include "media/sound_mixer.h"
#include "base/result.h"

#include <cstdint>
#include <memory>
#include <string>

namespace media {

constexpr int midi_rate = 44100;

// The software synthesiser stands in for the platform's MIDI mapper. Its
// library is loaded when the first synthesiser is made and the synthesiser
// with its sound bank lives only between create and destruction, so a run
// that never starts MIDI pays nothing for it.
class MidiSynth {
public:
    static base::Result<std::unique_ptr<MidiSynth>> create(SoundMixer& mixer, const std::string& soundfont_path);
    ~MidiSynth();
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    // A short message packed as status + 256 × first data byte + 65536 ×
    // second data byte. False when the synthesiser refuses it.
    bool send_short_message(uint32_t message);

    // A synthesiser that has been silent for half a second pauses its
    // stream until the next message, so that a started but idle MIDI
    // output costs no mixing. Called by every wait.
    void pump();

private:
    struct Library;
    MidiSynth() = default;

    std::unique_ptr<Library> m_library;
    void* m_settings = nullptr;
    void* m_synth = nullptr;
    std::unique_ptr<SoundStream> m_stream;
    // Frames rendered since the last audible one.
    size_t m_silent_frames = 0;
    bool m_paused = false;
};

// Where the General MIDI sound bank is when the settings name none.
constexpr const char* default_soundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

}
