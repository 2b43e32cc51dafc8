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
#include "speech/speech_cues.h"
#include "speech/speech_log.h"
#include "tests/support/sound_fixture.h"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace speech_test {

// The console the speech output writes to, with the shared key timeline.
class FakePort final : public speech::ConsolePort, public sound_test::KeyTimeline {
public:
    using KeyTimeline::KeyTimeline;

    void write_text(std::string_view text) override { console += text; }
    void end_line() override { console += "\n"; }
    bool key_waiting() override { return has_key(); }
    uint8_t read_key() override { return take_key(); }
    void discard_keys() override { keys.clear(); }
    void wait_event(int timeout_ms) override { pass_time(timeout_ms); }
    void post_wake_up() override { ++wake_ups; }
    void end_program(int status) override { throw std::runtime_error("exit " + std::to_string(status)); }

    std::string console;
    int wake_ups = 0;
};

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
    std::vector<sound_test::Run> heard() const { return sound_test::runs_of(recorder->samples()); }

    test_support::ScratchFolder temp;
    platform::VirtualClock clock;
    FakePort port { clock };
    platform::PathMap paths;
    std::unique_ptr<settings::Settings> config;
    std::unique_ptr<platform::RecorderAudioDevice> recorder;
    std::unique_ptr<audio::WaveOutput> wave;
    speech::NoEngines engines;
    speech::EngineSession engine { engines, clock };
    std::unique_ptr<speech::SpeechClient> client;
    std::unique_ptr<speech::SpeechCues> cues;
    speech::SpeechLog log;
};

}
