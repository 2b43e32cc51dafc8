// SPDX-License-Identifier: GPL-3.0-or-later
// NullAudioDevice: plays nothing, but takes as long as the sound would.
#pragma once

#include "platform/audio_device.h"
#include "platform/clock.h"

#include <deque>

namespace platform {

// Blocks are reported played when their duration has passed on the clock,
// one after another as a sound card would; with `immediate` (fast runs) they
// are reported at the next poll. Subclasses see every block as it finishes.
class NullAudioDevice : public AudioDevice {
public:
    NullAudioDevice(Clock& clock, bool immediate);

    std::vector<std::string> device_names() override { return { "Null output" }; }
    base::Result<void> open(int index, PcmFormat format, AudioEvents& events) override;
    void close() override;
    bool is_open() const override { return m_events != nullptr; }
    void queue_block(std::span<const uint8_t> block, int tag) override;
    void reset() override;
    void poll() override;
    int next_report_ms() const override;

    PcmFormat format() const { return m_format; }

protected:
    // `played_bytes` of the block were heard (all of it unless cut by reset).
    virtual void block_finished(std::span<const uint8_t> block, size_t played_bytes) { }
    virtual void device_opened(PcmFormat) { }

private:
    struct Block {
        std::vector<uint8_t> data;
        int tag = 0;
        uint64_t end_ms = 0;
    };
    uint64_t duration_ms(size_t bytes) const;

    Clock& m_clock;
    bool m_immediate;
    PcmFormat m_format;
    AudioEvents* m_events = nullptr;
    std::deque<Block> m_queue;
};

}
