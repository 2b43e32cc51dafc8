// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechBackends: the sound device, the wave output and the speech client, wired to the console.
#include "app/speech_backends.h"

#include "audio/wave_recording.h"
#include "console/console.h"
#include "interpreter/runtime.h"
#include "platform/headless/null_audio_device.h"
#include "platform/headless/recorder_audio_device.h"
#include "platform/power_status.h"
#include "platform/sdl_module.h"
#include "platform/user_folders.h"
#include "settings/setting_keys.h"

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace app {

// What the speech output needs of the console, over the console itself.
class SpeechBackends::Port final : public speech::ConsolePort {
public:
    explicit Port(console::Console& console)
        : m_console(console)
    {
    }
    void write_text(std::string_view text) override { m_console.write_chars(text); }
    void end_line() override { m_console.write_chars("\r\n"); }
    bool key_waiting() override { return m_console.key_pressed(); }
    uint8_t read_key() override { return m_console.read_key(); }
    void discard_keys() override { m_console.discard_keys(); }
    void wait_event(int timeout_ms) override { m_console.loop().wait_event(timeout_ms); }
    void post_wake_up() override { m_console.loop().post_wake_up(); }
    void end_program(int status) override { m_console.loop().request_end(status); }
    bool program_ending() override { return m_console.loop().end_requested(); }

private:
    console::Console& m_console;
};

// Every wait of the console takes the device's reports, so blocks finish
// while a script waits for a key as well as while speech waits.
class SpeechBackends::Poller final : public console::EventPoller {
public:
    Poller(audio::WaveOutput& wave, platform::AudioDevice& device)
        : m_wave(wave)
        , m_device(device)
    {
    }
    void poll() override { m_wave.pump(); }
    int next_report_ms() const override { return m_device.next_report_ms(); }

private:
    audio::WaveOutput& m_wave;
    platform::AudioDevice& m_device;
};

base::Result<std::unique_ptr<SpeechBackends>> SpeechBackends::create(const SpeechChoice& choice, console::Console& console,
    settings::Settings& settings, const platform::PathMap& paths, platform::Clock& clock, speech::SpeechLog* log)
{
    std::unique_ptr<SpeechBackends> backends(new SpeechBackends);
    backends->m_console = &console;
    // The silent devices take each block's length on the clock, also in
    // fast runs: there the clock is virtual, so a wait for a sound still
    // returns at once, but only after the sound's time has passed on it. A
    // device that reported every block as soon as it was queued would make
    // sound cost no time at all, and a sound without end (a held organ note)
    // would keep every wait, ESPERA's included, at the same instant forever.
    constexpr bool immediate = false;
    if (choice.audio == "null") {
        backends->m_device = std::make_unique<platform::NullAudioDevice>(clock, immediate);
    } else if (!choice.audio.empty()) {
        // The speech's own format names the file until the first sound.
        auto recording = audio::WaveRecording::create(choice.audio, speech::unit_format);
        if (!recording)
            return recording.error();
        backends->m_recording = std::move(*recording);
        backends->m_device = std::make_unique<platform::RecorderAudioDevice>(clock, immediate, backends->m_recording.get());
    } else {
#ifdef CORVANTE_HAVE_SDL_MODULE
        if (!choice.headless) {
            auto module = platform::load_sdl_module(platform::program_folder());
            if (module)
                backends->m_device = (*module)->create_audio_device();
            else // The voice will be silent: say why where it can be found.
                std::fprintf(stderr, "no sound: %s\n", module.error().message.c_str());
        }
#endif
        // No sound card (or a headless run): the sound takes its time all the same.
        if (!backends->m_device)
            backends->m_device = std::make_unique<platform::NullAudioDevice>(clock, immediate);
    }
    backends->m_port = std::make_unique<Port>(console);
    backends->m_wave = std::make_unique<audio::WaveOutput>(*backends->m_device, *backends->m_port, paths);
    backends->m_wave->choose_device(settings::audio_output_device(settings));
    backends->m_wave->mailbox().set_wake([&console] { console.loop().post_wake_up(); });
    backends->m_poller = std::make_unique<Poller>(*backends->m_wave, *backends->m_device);
    console.loop().add_poller(backends->m_poller.get());
    // The installed engines: espeak-ng plays through the wave output like the
    // built-in voice; speech-dispatcher is found where its own clients look.
    backends->m_engines = std::make_unique<speech::InstalledEngines>(*backends->m_wave, *backends->m_port,
        speech::dispatcher_socket_path(std::getenv("SPEECHD_ADDRESS"), std::getenv("XDG_RUNTIME_DIR"), std::getenv("HOME")));
    // The settings and the path map outlive the speech backends.
    backends->m_engines->set_phoneme_line_setup(
        std::function<speech::PhonemeLineSetup()>([&settings, &paths] { return speech::phoneme_line_setup(settings, paths, platform::executable_directory()); }));
    backends->m_engine = std::make_unique<speech::EngineSession>(*backends->m_engines, clock);
    backends->m_client = std::make_unique<speech::SpeechClient>(
        speech::SpeechClient::Parts { *backends->m_port, *backends->m_wave, settings, paths, clock, *backends->m_engine });
    backends->m_cues = std::make_unique<speech::SpeechCues>(speech::SpeechCues::Parts { *backends->m_client, *backends->m_engine, *backends->m_port, paths });
    backends->m_speech = std::make_unique<speech::ClientSpeech>(*backends->m_client, *backends->m_cues, *backends->m_engine, settings);
    backends->m_client->set_log(log);
    backends->m_cues->set_log(log);
    backends->m_client->set_voice_optional(choice.voice_optional);
    backends->m_cues->set_power_reader([] {
        auto status = platform::read_power_status();
        return speech::PowerReading { status.has_battery, status.percent, status.mains };
    });
    return backends;
}

SpeechBackends::~SpeechBackends()
{
    // The device's thread may still report; from here on nobody listens.
    if (m_wave) {
        m_wave->mailbox().set_wake(nullptr);
        m_wave->wave_stop();
    }
    m_speech.reset();
    m_cues.reset();
    m_client.reset();
    m_engine.reset();
    m_engines.reset();
    m_wave.reset();
    m_device.reset();
}

}
