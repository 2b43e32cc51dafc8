// SPDX-License-Identifier: GPL-3.0-or-later
// SoundMixer: where the samples of music and MIDI go, to be heard together with speech.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace media {

// One stream of 16-bit interleaved samples at a fixed rate and channel
// count, mixed with everything else that sounds. The producer keeps a short
// stretch queued (it asks how much is still unheard and writes more as it
// drains), so that stopping, seeking or changing the volume clears only
// that stretch. Streams belong to the single event-loop thread.
class SoundStream {
public:
    virtual ~SoundStream() = default;

    // Queues samples after those written before; returns at once. A write
    // of a partial frame keeps the remainder for the next write.
    virtual void write(std::span<const int16_t> samples) = 0;
    // Frames written but not yet heard.
    virtual size_t queued_frames() const = 0;
    // Drops every frame not yet heard, at once.
    virtual void clear() = 0;
};

class SoundMixer {
public:
    virtual ~SoundMixer() = default;
    // A new stream, silent until written; destroying it ends it at once.
    // Null when the output cannot take another stream.
    virtual std::unique_ptr<SoundStream> open_stream(int rate, int channels) = 0;
};

}
