// SPDX-License-Identifier: GPL-3.0-or-later
// AudioDevice: a PCM output that plays queued blocks and reports each one played.
#pragma once

#include "base/result.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

struct PcmFormat {
    int rate = 11025;
    int bits = 8; // 8 (unsigned) or 16 (signed, little-endian)
    int channels = 1;
    bool operator==(const PcmFormat&) const = default;
    int block_align() const { return channels * bits / 8; }
};

// Where a device reports that a block has been played. Devices may call it
// from their own audio thread, so an implementation only posts the news to
// the event loop; the wave output handles it there.
class AudioEvents {
public:
    virtual ~AudioEvents() = default;
    virtual void block_played(int tag) = 0;
};

// Where a recording device (the headless recorder) hands what it heard,
// so that it can be kept in a file.
class RecordingSink {
public:
    virtual ~RecordingSink() = default;
    // Everything heard so far, in the recording's format.
    virtual void recording_grew(PcmFormat format, std::span<const uint8_t> samples) = 0;
};

class AudioDevice {
public:
    virtual ~AudioDevice() = default;

    // Product names of the output devices, in device order.
    virtual std::vector<std::string> device_names() = 0;

    // Opens device `index` of device_names() (-1: any suitable device).
    virtual base::Result<void> open(int index, PcmFormat format, AudioEvents& events) = 0;
    virtual void close() = 0;
    virtual bool is_open() const = 0;

    // Copies the block and plays it after those queued before it; `tag`
    // comes back through AudioEvents::block_played when it has been heard.
    virtual void queue_block(std::span<const uint8_t> block, int tag) = 0;

    // Drops every queued block at once: playing stops now, and every block
    // still queued is reported played.
    virtual void reset() = 0;

    // Devices without a thread of their own deliver their reports here,
    // called by every wait; -1 means no report is due, otherwise the
    // milliseconds until the next one.
    virtual void poll() { }
    virtual int next_report_ms() const { return -1; }
};

}
