// SPDX-License-Identifier: GPL-3.0-or-later
// Mixer: the streams that play beside the speech ring, summed into the device's blocks.
#pragma once

#include "audio/sound_output.h"
#include "platform/audio_device.h"

#include <deque>
#include <memory>
#include <vector>

namespace audio {

// While streams play, the device runs in this one format and every sound,
// the ring's included, is converted to it.
constexpr platform::PcmFormat mix_format { 44100, 16, 2 };

// Converts PCM of any format the ring plays to mix_format frames, by linear
// interpolation between neighbouring samples.
std::vector<int16_t> convert_to_mix(std::span<const uint8_t> data, platform::PcmFormat format);

class Mixer {
public:
    struct StreamState;

    // The handle's state stays shared with the mixer until both let go.
    std::shared_ptr<StreamState> add(StreamFormat format, StreamSource source);

    // True while some stream wants to be heard (not paused, not stopped,
    // its source not yet drained).
    bool has_sound() const;
    // True while any stream is open, playing or not.
    bool has_streams() const;

    // Adds every sounding stream into `mix` (mix_format frames, interleaved)
    // for the device block `tag`; returns how many frames of `mix` the
    // streams reached (0 when none sounded).
    size_t mix_into(std::span<int32_t> mix, int tag);
    // The device has played the block `tag` and every block before it.
    void block_heard(int tag);
    // Forgets the streams whose handles are gone and that nothing plays.
    void drop_closed();

private:
    std::vector<std::shared_ptr<StreamState>> m_streams;
};

struct Mixer::StreamState {
    StreamFormat format;
    StreamSource source;
    // Source frames read but not yet passed (interleaved), and the place
    // between them, in source frames from the first.
    std::vector<int16_t> input;
    double position = 0;
    uint64_t dropped_frames = 0; // passed frames no longer in `input`
    bool source_ended = false;
    bool drained = false;
    bool stopped = false;
    bool paused = false;
    bool closed = false;
    int volume_left = 1000;
    int volume_right = 1000;
    uint64_t frames_heard = 0;
    // For each device block still playing: the source frames passed by its end.
    std::deque<std::pair<int, uint64_t>> in_flight;

    bool sounding() const { return !stopped && !paused && !closed && !drained; }
};

}
