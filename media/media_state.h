// SPDX-License-Identifier: GPL-3.0-or-later
// MediaState: the media devices and the MIDI output of one run.
#pragma once

#include "media/media_control.h"
#include "media/midi_synth.h"

#include <memory>
#include <string>

namespace media {

// Owned by app/ for the whole run; the media commands reach it through the
// runtime, and the event loop pumps it in every wait.
class MediaState {
public:
    MediaState(SoundMixer& mixer, const platform::PathMap& paths, std::string soundfont_path);
    ~MediaState();
    MediaState(const MediaState&) = delete;
    MediaState& operator=(const MediaState&) = delete;

    MediaControl& control() { return m_control; }

    // MIDI is started once and may be stopped and started again. Starting
    // marks it started even when the synthesiser cannot be made (no
    // library, no sound bank): like a missing device, that is silent, and
    // every message sent is then refused.
    bool midi_started() const { return m_midi_started; }
    void start_midi();
    void stop_midi();
    bool send_midi(uint32_t message);
    // Why the synthesiser could not be made at the last start, if it could not.
    const std::string& midi_error() const { return m_midi_error; }

    void pump();

private:
    SoundMixer& m_mixer;
    MediaControl m_control;
    std::string m_soundfont_path;
    bool m_midi_started = false;
    std::unique_ptr<MidiSynth> m_synth;
    std::string m_midi_error;
};

}
