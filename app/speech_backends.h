// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechBackends: the sound device, the wave output and the speech client, wired to the console.
#pragma once

#include "audio/wave_output.h"
#include "platform/audio_device.h"
#include "base/result.h"
#include "speech/client_speech.h"
#include "speech/console_port.h"
#include "speech/engines/installed_engines.h"
#include "speech/speech_client.h"
#include "speech/speech_cues.h"

#include <memory>
#include <string>

namespace audio {
class WaveRecording;
}
namespace console {
class Console;
}

namespace app {

struct SpeechChoice {
    // "--audio": empty for the sound card (the null device when there is
    // none, and always with --headless), "null", or a WAV file to record.
    std::string audio;
    bool headless = false;
    // Test runs go on without a voice instead of ending at start.
    bool voice_optional = false;
};

class SpeechBackends {
public:
    static base::Result<std::unique_ptr<SpeechBackends>> create(const SpeechChoice& choice, console::Console& console,
        settings::Settings& settings, const platform::PathMap& paths, platform::Clock& clock, speech::SpeechLog* log);
    ~SpeechBackends();
    SpeechBackends(const SpeechBackends&) = delete;
    SpeechBackends& operator=(const SpeechBackends&) = delete;

    speech::SpeechClient& client() { return *m_client; }
    // The client as the statements reach it.
    interpreter::SpeechPort& speech() { return *m_speech; }
    audio::WaveOutput& wave() { return *m_wave; }

private:
    SpeechBackends() = default;
    class Port;
    class Poller;

    console::Console* m_console = nullptr;
    // Declared before the device, which writes to it until its end.
    std::unique_ptr<audio::WaveRecording> m_recording;
    std::unique_ptr<platform::AudioDevice> m_device;
    std::unique_ptr<Port> m_port;
    std::unique_ptr<Poller> m_poller;
    std::unique_ptr<audio::WaveOutput> m_wave;
    std::unique_ptr<speech::InstalledEngines> m_engines;
    std::unique_ptr<speech::EngineSession> m_engine;
    std::unique_ptr<speech::SpeechClient> m_client;
    std::unique_ptr<speech::SpeechCues> m_cues;
    std::unique_ptr<speech::ClientSpeech> m_speech;
};

}
