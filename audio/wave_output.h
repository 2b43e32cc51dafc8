// SPDX-License-Identifier: GPL-3.0-or-later
// WaveOutput: every sound of the program, through a ring of 16 blocks of 8192 bytes.
#pragma once

#include "audio/audio_mailbox.h"
#include "platform/audio_device.h"

namespace platform {
class PathMap;
}

#include <array>
#include <span>
#include <string>
#include <vector>

namespace audio {

class EventPort;

constexpr int ring_slots = 16;
constexpr size_t block_bytes = 8192;

class WaveOutput {
public:
    WaveOutput(platform::AudioDevice& device, EventPort& port, const platform::PathMap& paths);
    ~WaveOutput();
    WaveOutput(const WaveOutput&) = delete;
    WaveOutput& operator=(const WaveOutput&) = delete;

    // Chooses the output device whose name equals `device_name` (compared in
    // upper case); empty or unknown: any suitable device.
    void choose_device(std::string_view device_name);
    std::vector<std::string> device_names();

    // 0 when played, -1 when the file is missing or not a RIFF wave, or a
    // device error code. `windows_path` is mapped through the path source.
    int play_wave_file(std::string_view windows_path);
    int play_wave_image(std::span<const uint8_t> image);
    int play_samples(std::span<const uint8_t> data, int rate, int channels, int bits);

    bool wave_busy();
    void wave_stop();

    // Waits for the next event or up to `timeout_ms`, whichever comes first,
    // taking the device's reports on the way.
    void wait_event(int timeout_ms);
    // Takes the device's reports without waiting.
    void pump();

    AudioMailbox& mailbox() { return m_mailbox; }
    int queued_blocks() const { return m_queued; }

    bool stop_on_key = true;
    bool async_play = false;
    bool fast_playback = false;
    bool speech_cutting = false;

private:
    bool stop_wanted();
    int ensure_open(platform::PcmFormat format);
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
    int m_queued = 0;
    int m_last_slot = 0; // 1..16; 0 before the first block
    std::vector<uint8_t> m_read_buffer;
};

}
