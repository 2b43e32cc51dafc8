// SPDX-License-Identifier: GPL-3.0-or-later
// The sound tests' world: keys on a virtual clock, a temporary drive C, a recorder and the wave output.
#pragma once

#include "audio/event_port.h"
#include "audio/wave_output.h"
#include "platform/clock.h"
#include "platform/headless/recorder_audio_device.h"
#include "platform/path_map.h"
#include "tests/support/scratch_folder.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sound_test {

// Keys can be queued now or made to arrive at a time of the virtual clock;
// a wait moves the clock forward, stopping early when a key arrives. The
// fake ports of the audio and speech tests both keep their keys here.
class KeyTimeline {
public:
    explicit KeyTimeline(platform::VirtualClock& clock)
        : m_clock(clock)
    {
    }

    void key_at(uint64_t ms, uint8_t key) { timed_keys.emplace(ms, key); }
    // True when a key has arrived and is not yet taken.
    bool has_key();
    // Lets up to `timeout_ms` pass, less when a timed key comes first.
    void pass_time(int timeout_ms);
    // A test never blocks: with no key left, the clock jumps to the next
    // timed one, or Enter is answered.
    uint8_t take_key();

    std::deque<uint8_t> keys;
    std::multimap<uint64_t, uint8_t> timed_keys;
    std::vector<uint64_t> key_arrivals;
    uint64_t waited_ms = 0;

private:
    void arrive_keys();
    platform::VirtualClock& m_clock;
};

// The event loop the wave output waits in.
class FakeEventPort final : public audio::EventPort, public KeyTimeline {
public:
    using KeyTimeline::KeyTimeline;
    bool key_waiting() override { return has_key(); }
    void wait_event(int timeout_ms) override { pass_time(timeout_ms); }
};

// A constant sample value for every sound, so that what was played can be
// read back from the recording as runs of values.
struct Run {
    int value;
    size_t length;
    bool operator==(const Run&) const = default;
};
std::vector<Run> runs_of(const std::vector<uint8_t>& samples);
// "VALUExLENGTH " for each run, for failure messages.
std::string describe(const std::vector<Run>& runs);

// A RIFF wave of `length` frames whose every byte is `value`.
std::vector<uint8_t> constant_wave(int value, size_t length, int rate = 11025, int bits = 8, int channels = 1);
// Writes the file, making its folders; throws when it cannot.
void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
void write_text_file(const std::filesystem::path& path, std::string_view text);
std::vector<uint8_t> read_file(const std::filesystem::path& path);

// Drive C in a temporary folder, and the wave output over a recorder.
struct SoundWorld {
    // `real_time`: blocks take their duration on the virtual clock (for the
    // stop tests); otherwise they are heard at the next poll.
    explicit SoundWorld(bool real_time = false);

    std::vector<Run> heard() const { return runs_of(recorder->samples()); }

    test_support::ScratchFolder temp;
    platform::VirtualClock clock;
    FakeEventPort port { clock };
    platform::PathMap paths;
    std::unique_ptr<platform::RecorderAudioDevice> recorder;
    std::unique_ptr<audio::WaveOutput> wave;
};

}
