// SPDX-License-Identifier: GPL-3.0-or-later
// MediaState: the media devices and the MIDI output of one run.
#include "media/media_state.h"

namespace media {

MediaState::MediaState(SoundMixer& mixer, const platform::PathMap& paths, std::string soundfont_path)
    : m_mixer(mixer)
    , m_control(mixer, paths)
    , m_soundfont_path(std::move(soundfont_path))
{
}

MediaState::~MediaState() = default;

void MediaState::start_midi()
{
    m_midi_error.clear();
    auto synth = MidiSynth::create(m_mixer, m_soundfont_path);
    if (synth)
        m_synth = std::move(*synth);
    else
        m_midi_error = synth.error().message;
    m_midi_started = true;
}

void MediaState::stop_midi()
{
    m_synth.reset();
    m_midi_started = false;
}

bool MediaState::send_midi(uint32_t message)
{
    return m_synth && m_synth->send_short_message(message);
}

void MediaState::pump()
{
    m_control.pump();
    if (m_synth)
        m_synth->pump();
}

}
