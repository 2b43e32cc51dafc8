// SPDX-License-Identifier: GPL-3.0-or-later
// The audio tests' world: a fake event loop with keys, a temporary drive C, a recorder and the wave output.
#pragma once

#include "audio/event_port.h"
#include "audio/wave_output.h"
#include "platform/clock.h"
#include "platform/headless/recorder_audio_device.h"
#include "platform/path_map.h"

#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

namespace audio_test {

// Keys can be queued now or made to arrive at a time of the virtual clock;
// a wait moves the clock forward, stopping early when a key arrives.
class FakePort final : public audio::EventPort {
public:
    explicit FakePort(platform::VirtualClock& clock)
        : m_clock(clock)
    {
    }
    bool key_waiting() override
    {
        arrive_keys();
        return !keys.empty();
    }
    void wait_event(int timeout_ms) override;
    void key_at(uint64_t ms, uint8_t key) { timed_keys.emplace(ms, key); }

    std::deque<uint8_t> keys;
    std::multimap<uint64_t, uint8_t> timed_keys;
    std::vector<uint64_t> key_arrivals;

private:
    void arrive_keys();
    platform::VirtualClock& m_clock;
};

class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// A constant sample value for every sound, so that what was played can be
// read back from the recording as runs of values.
struct Run {
    int value;
    size_t length;
    bool operator==(const Run&) const = default;
};
std::vector<Run> runs_of(const std::vector<uint8_t>& samples);

// A RIFF wave of `length` frames whose every byte is `value`.
std::vector<uint8_t> constant_wave(int value, size_t length, int rate = 11025, int bits = 8, int channels = 1);
void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> read_file(const std::filesystem::path& path);

// Drive C in a temporary folder, and the wave output over a recorder.
struct AudioWorld {
    // `real_time`: blocks take their duration on the virtual clock (for the
    // stop tests); otherwise they are heard at the next poll.
    explicit AudioWorld(bool real_time = false);

    std::vector<Run> heard() const { return runs_of(recorder->samples()); }

    TempDir temp;
    platform::VirtualClock clock;
    FakePort port { clock };
    platform::PathMap paths;
    std::unique_ptr<platform::RecorderAudioDevice> recorder;
    std::unique_ptr<audio::WaveOutput> wave;
};

}
