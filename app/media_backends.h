// SPDX-License-Identifier: GPL-3.0-or-later
// MediaBackends: the media devices and MIDI, playing through the sound output beside speech.
#pragma once

#include "media/media_state.h"
#include "media/output_streams.h"

#include <memory>

namespace audio {
class SoundOutput;
}
namespace console {
class Console;
}
namespace interpreter {
struct Subsystems;
}
namespace platform {
class PathMap;
}
namespace settings {
class Settings;
}

namespace app {

// Made after the sound output and destroyed before it. The poller stays
// with the console, which outlives every wait of the run, like the speech
// output's.
class MediaBackends {
public:
    MediaBackends(audio::SoundOutput& output, console::Console& console, const settings::Settings& settings,
        const platform::PathMap& paths);
    ~MediaBackends();
    MediaBackends(const MediaBackends&) = delete;
    MediaBackends& operator=(const MediaBackends&) = delete;

    media::MediaState& state() { return *m_state; }
    void attach(interpreter::Subsystems& subsystems);

private:
    class Poller;

    std::unique_ptr<media::OutputStreams> m_streams;
    std::unique_ptr<media::MediaState> m_state;
    std::unique_ptr<Poller> m_poller;
};

}
