// SPDX-License-Identifier: GPL-3.0-or-later
// OutputStreams: the media layer's streams as streams of the one sound output, mixed with speech.
#pragma once

#include "media/sound_mixer.h"

namespace audio {
class SoundOutput;
}

namespace media {

// Music and MIDI play through the output that speech plays through, each
// as a stream of its mixer: a key that stops speech leaves them playing,
// and a recording of the run (--audio) holds them with the speech.
class OutputStreams final : public SoundMixer {
public:
    explicit OutputStreams(audio::SoundOutput& output)
        : m_output(output)
    {
    }
    std::unique_ptr<SoundStream> open_stream(StreamFormat format, StreamSource source) override;

private:
    audio::SoundOutput& m_output;
};

}
