// SPDX-License-Identifier: GPL-3.0-or-later
// The speech tests' world: a fake console, a temporary drive C, and a small synthetic voice.
#pragma once

#include "audio/wave_output.h"
#include "platform/clock.h"
#include "platform/headless/recorder_audio_device.h"
#include "platform/path_map.h"
#include "settings/settings.h"
#include "speech/console_port.h"
#include "speech/speech_client.h"
#include "speech/speech_log.h"

#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace speech_test {

// Keys can be queued now or made to arrive at a time of the virtual clock;
// a wait moves the clock forward, stopping early when a key arrives.
class FakePort final : public speech::ConsolePort {
public:
    explicit FakePort(platform::VirtualClock& clock)
        : m_clock(clock)
    {
    }

    void write_text(std::string_view text) override { console += text; }
    void end_line() override { console += "\n"; }
    bool key_waiting() override
    {
        arrive_keys();
        return !keys.empty();
    }
    uint8_t read_key() override;
    void discard_keys() override { keys.clear(); }
    void wait_event(int timeout_ms) override;
    void post_wake_up() override { ++wake_ups; }
    [[noreturn]] void close_and_exit(int status) override { throw std::runtime_error("exit " + std::to_string(status)); }

    void key_at(uint64_t ms, uint8_t key) { timed_keys.emplace(ms, key); }

    std::string console;
    std::deque<uint8_t> keys;
    std::multimap<uint64_t, uint8_t> timed_keys;
    std::vector<uint64_t> key_arrivals;
    int wake_ups = 0;
    uint64_t waited_ms = 0;

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
std::string describe(const std::vector<Run>& runs);

// An 8-bit mono RIFF wave of `length` samples of `value`.
std::vector<uint8_t> constant_wave(int value, size_t length, int rate = 11025, int bits = 8, int channels = 1);
void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
void write_text_file(const std::filesystem::path& path, std::string_view text);

struct VoiceUnit {
    std::string name;
    int value;
    size_t samples;
};

// Drive C with the voice's folders, its settings file, and everything built
// on it: the recorder, the wave output and the speech client.
class SpeechWorld {
public:
    // `real_time`: blocks take their duration on the virtual clock (for the
    // stop tests); otherwise they are heard at the next poll.
    explicit SpeechWorld(bool real_time = false);

    // The voice: units of the database, rules, exceptions, letter files.
    void write_voice(const std::vector<VoiceUnit>& units, std::string_view rules, std::string_view exceptions);
    void write_letter(std::string_view name, int value, size_t length);
    void write_cue(std::string_view name, int value, size_t length);
    void write_settings(std::string_view extra_lines);
    // init_speech(0, "c:\scripts"), with the speech log on.
    void start();

    std::filesystem::path letters() const { return temp.path() / "c/kestra/som/letras"; }
    std::filesystem::path diphones() const { return temp.path() / "c/kestra/som/difones"; }
    std::vector<Run> heard() const { return runs_of(recorder->samples()); }

    TempDir temp;
    platform::VirtualClock clock;
    FakePort port { clock };
    platform::PathMap paths;
    std::unique_ptr<settings::Settings> config;
    std::unique_ptr<platform::RecorderAudioDevice> recorder;
    std::unique_ptr<audio::WaveOutput> wave;
    speech::NoEngines engines;
    std::unique_ptr<speech::SpeechClient> client;
    speech::SpeechLog log;
};

}
