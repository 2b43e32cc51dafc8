// SPDX-License-Identifier: GPL-3.0-or-later
// WaveOutput: every sound of the program, through a ring of 16 blocks of 8192 bytes and a mixer.
#pragma once

#include "audio/audio_mailbox.h"
#include "audio/mixer.h"
#include "audio/sound_output.h"
#include "platform/audio_device.h"

#include <array>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace platform {
class PathMap;
}

namespace audio {

class EventPort;

constexpr int ring_slots = 16;
constexpr size_t block_bytes = 8192;

// The device plays the ring's own format while only the ring sounds, as
// the original output did. While streams are open it runs in mix_format
// instead: ring blocks are converted and wait in a queue, and a few short
// device blocks at a time are mixed from that queue and the streams, so
// that a stopped ring or a new sound is heard within about 0.2 seconds.
class WaveOutput final : public SoundOutput {
public:
    WaveOutput(platform::AudioDevice& device, EventPort& port, const platform::PathMap& paths);
    ~WaveOutput() override;
    WaveOutput(const WaveOutput&) = delete;
    WaveOutput& operator=(const WaveOutput&) = delete;

    // Chooses the output device whose name equals `device_name` (compared in
    // upper case); empty or unknown: any suitable device.
    void choose_device(std::string_view device_name);
    std::vector<std::string> device_names();

    int play_wave_file(std::string_view windows_path) override;
    int play_wave_image(std::span<const uint8_t> image) override;
    int play_samples(std::span<const uint8_t> data, int rate, int channels, int bits) override;
    bool wave_busy() override;
    void wave_stop() override;
    void wait_event(int timeout_ms) override;
    std::unique_ptr<Stream> open_stream(StreamFormat format, StreamSource source) override;

    // Takes the device's reports without waiting, and mixes more sound when
    // streams play.
    void pump();

    AudioMailbox& mailbox() { return m_mailbox; }
    int queued_blocks() const { return m_queued; }
    bool is_mixing() const { return m_mixing; }

private:
    class MixedStream;
    struct MixBlock {
        int tag = 0;
        std::vector<int> finished_slots; // ring blocks whose last frame is in it
    };
    struct PendingSlot {
        int slot = 0;
        std::vector<int16_t> frames; // mix_format
        size_t position = 0;         // samples already mixed
    };

    bool stop_wanted();
    int ensure_open(platform::PcmFormat format);
    base::Result<void> open_device(platform::PcmFormat format);
    int start_mixing();
    void mix_blocks();
    void queue_block(std::span<const uint8_t> data, platform::PcmFormat format);
    void on_block_played(int tag);
    int play_file(const std::string& system_path);

    platform::AudioDevice& m_device;
    EventPort& m_port;
    const platform::PathMap& m_paths;
    AudioMailbox m_mailbox;
    int m_device_index = -1;
    bool m_open = false;
    platform::PcmFormat m_format;
    std::array<std::vector<uint8_t>, ring_slots> m_slots;
    std::array<size_t, ring_slots> m_slot_lengths {};
    int m_queued = 0;
    int m_last_slot = 0; // 1..16; 0 before the first block
    std::vector<uint8_t> m_read_buffer;

    bool m_mixing = false;
    Mixer m_mixer;
    std::deque<PendingSlot> m_pending;
    std::deque<MixBlock> m_mix_blocks;
    int m_next_mix_tag = 0;
    std::vector<int32_t> m_mix;
    std::vector<uint8_t> m_mix_bytes;
};

}
