// SPDX-License-Identifier: GPL-3.0-or-later
// SoundMixer: where the samples of music and MIDI go, to be heard together with speech.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace media {

struct StreamFormat {
    int rate = 44100;
    int channels = 2; // 1 or 2
};

// Fills `samples` (a whole number of frames) and returns the frames
// written; fewer than asked means the source has ended. Called on the
// event loop's thread whenever the output wants more sound, so it must
// answer without blocking.
using StreamSource = std::function<size_t(std::span<int16_t> samples)>;

// One sound playing beside speech and mixed with it. Destroying the handle
// stops it at once.
class SoundStream {
public:
    virtual ~SoundStream() = default;
    // A paused stream keeps its place and gives no sound.
    virtual void set_paused(bool paused) = 0;
    // Per thousand for each side, 0 to 1000, heard at once; a mono source
    // feeds both sides.
    virtual void set_volume(int left, int right) = 0;
    // True until the source has ended and all it gave has been heard.
    virtual bool playing() const = 0;
    // The source's frames heard so far.
    virtual uint64_t frames_heard() const = 0;
};

class SoundMixer {
public:
    virtual ~SoundMixer() = default;
    // Null when the output cannot play the format or take another stream.
    virtual std::unique_ptr<SoundStream> open_stream(StreamFormat format, StreamSource source) = 0;
};

}
