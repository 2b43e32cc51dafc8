// SPDX-License-Identifier: GPL-3.0-or-later
// speech_latency: how soon speech starts after speak_text, and how soon a key silences it.
//
// Usage: speech_latency [VOICE_FOLDER] [ROUNDS]
// Each figure is given for the built-in voice and, side by side, for
// espeak-ng opened as an installed engine (engine type 5, voice 1).
//
// VOICE_FOLDER holds DIFONES2.IND/.DIF, regras.rgr and portug.exc (default:
// data/voice of the source tree); letters are not needed. Both figures are
// measured on the wall clock with the recorder device:
//  - start: from speak_text of a short sentence to its first queued block;
//  - stop: from a key arriving (posted by another thread, as a keyboard
//    backend does) during a long utterance to the device's reset.
#include "audio/wave_output.h"
#include "platform/clock.h"
#include "platform/headless/recorder_audio_device.h"
#include "platform/path_map.h"
#include "settings/settings.h"
#include "speech/console_port.h"
#include "speech/engines/installed_engines.h"
#include "speech/speech_client.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {

using Steady = std::chrono::steady_clock;

double ms_between(Steady::time_point from, Steady::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The recorder, noting when the first block of a sentence is queued and
// when a reset comes.
class TimedDevice final : public platform::AudioDevice {
public:
    explicit TimedDevice(platform::AudioDevice& inner)
        : m_inner(inner)
    {
    }
    std::vector<std::string> device_names() override { return m_inner.device_names(); }
    base::Result<void> open(int index, platform::PcmFormat format, platform::AudioEvents& events) override { return m_inner.open(index, format, events); }
    void close() override { m_inner.close(); }
    bool is_open() const override { return m_inner.is_open(); }
    void queue_block(std::span<const uint8_t> block, int tag) override
    {
        if (!first_block) {
            first_block = Steady::now();
            started = true;
        }
        m_inner.queue_block(block, tag);
    }
    void reset() override
    {
        if (!reset_at)
            reset_at = Steady::now();
        m_inner.reset();
    }
    void poll() override { m_inner.poll(); }
    int next_report_ms() const override { return m_inner.next_report_ms(); }

    std::optional<Steady::time_point> first_block;
    std::atomic<bool> started = false;
    std::optional<Steady::time_point> reset_at;

private:
    platform::AudioDevice& m_inner;
};

// Keys come from another thread, as from a keyboard backend; waits sleep on
// a condition that a key or a wake-up ends at once.
class ThreadedPort final : public speech::ConsolePort {
public:
    void write_text(std::string_view) override { }
    void end_line() override { }
    bool key_waiting() override
    {
        std::lock_guard lock(m_mutex);
        return !m_keys.empty();
    }
    uint8_t read_key() override { return 13; }
    void discard_keys() override
    {
        std::lock_guard lock(m_mutex);
        m_keys.clear();
    }
    void wait_event(int timeout_ms) override
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::milliseconds(std::max(0, timeout_ms)), [&] { return m_woken || !m_keys.empty(); });
        m_woken = false;
    }
    void post_wake_up() override
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
        m_changed.notify_all();
    }
    void end_program(int status) override
    {
        std::fprintf(stderr, "speech_latency: the voice cannot be opened (code %d)\n", status);
        std::exit(1);
    }
    void press(uint8_t key)
    {
        std::lock_guard lock(m_mutex);
        m_keys.push_back(key);
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<uint8_t> m_keys;
    bool m_woken = false;
};

struct Voice {
    std::filesystem::path root;
    ~Voice() { std::filesystem::remove_all(root); }
};

// Lays out drive C with the voice folder's files and a settings file.
std::unique_ptr<Voice> lay_out_voice(const std::filesystem::path& source)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "speech-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return nullptr;
    auto voice = std::make_unique<Voice>();
    voice->root = pattern;
    auto diphones = voice->root / "c/kestra/som/difones";
    std::filesystem::create_directories(diphones);
    std::filesystem::create_directories(voice->root / "c/kestra/som/letras");
    bool complete = true;
    for (const char* name : { "DIFONES2.IND", "DIFONES2.DIF", "regras.rgr", "portug.exc" })
        complete = complete && std::filesystem::exists(source / name);
    if (complete) {
        for (const char* name : { "DIFONES2.IND", "DIFONES2.DIF", "regras.rgr", "portug.exc" })
            std::filesystem::copy_file(source / name, diphones / name);
    } else {
        // Without the real voice, one of letters: every consonant and vowel
        // a unit of its own (the joined names fall back to them).
        std::fprintf(stderr, "speech_latency: no complete voice in %s; using a synthetic one\n", source.c_str());
        std::ofstream rules(diphones / "regras.rgr");
        std::vector<uint8_t> index, samples;
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            bool vowel = std::string_view("AEIOU").find(letter) != std::string_view::npos;
            char lower = static_cast<char>(letter + 32);
            rules << "(" << letter << ")=" << (vowel ? "" : " ") << lower << "|\n";
            uint8_t record[15] = { 2, '$', static_cast<uint8_t>(letter), ' ', ' ', ' ', ' ', ' ', ' ' };
            uint16_t count = vowel ? 1800 : 900;
            record[9] = static_cast<uint8_t>(count);
            record[10] = static_cast<uint8_t>(count >> 8);
            auto offset = static_cast<uint32_t>(samples.size());
            for (int i = 0; i < 4; ++i)
                record[11 + i] = static_cast<uint8_t>(offset >> (8 * i));
            index.insert(index.end(), record, record + 15);
            for (int i = 0; i < count; ++i)
                samples.push_back(static_cast<uint8_t>(128 + ((i * (letter - 60)) % 64) - 32));
        }
        std::ofstream(diphones / "DIFONES2.IND", std::ios::binary).write(reinterpret_cast<const char*>(index.data()), static_cast<long>(index.size()));
        std::ofstream(diphones / "DIFONES2.DIF", std::ios::binary).write(reinterpret_cast<const char*>(samples.data()), static_cast<long>(samples.size()));
        std::ofstream(diphones / "portug.exc") << "";
    }
    std::ofstream(voice->root / "Lumera.ini") << "[TRADUTOR]\ndirLetras=c:\\kestra\\som\\letras\nDIRDIFONES=c:\\kestra\\som\\difones\n";
    return voice;
}

struct Rig {
    Rig(const Voice& voice, bool espeak)
        : recorder(std::make_unique<platform::RecorderAudioDevice>(clock, false))
        , device(*recorder)
    {
        paths.set_drive('C', (voice.root / "c").string());
        settings::SettingsPlaces places;
        places.ini_override = (voice.root / "Lumera.ini").string();
        config = std::make_unique<settings::Settings>(paths, places);
        wave = std::make_unique<audio::WaveOutput>(device, port, paths);
        engines = std::make_unique<speech::InstalledEngines>(*wave, port, "");
        engine = std::make_unique<speech::EngineSession>(*engines, clock);
        client = std::make_unique<speech::SpeechClient>(speech::SpeechClient::Parts { port, *wave, *config, paths, clock, *engine });
        client->init_speech(3, "");
        if (espeak)
            client->reconfigure_speech(3, true, 5, 0, 0, 1);
    }
    platform::SystemClock clock;
    std::unique_ptr<platform::RecorderAudioDevice> recorder;
    TimedDevice device;
    ThreadedPort port;
    platform::PathMap paths;
    std::unique_ptr<settings::Settings> config;
    std::unique_ptr<audio::WaveOutput> wave;
    std::unique_ptr<speech::InstalledEngines> engines;
    std::unique_ptr<speech::EngineSession> engine;
    std::unique_ptr<speech::SpeechClient> client;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}

int main(int argc, char** argv)
{
    std::filesystem::path source = argc > 1 ? argv[1] : CORVANTE_VOICE_DIR;
    int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    auto voice = lay_out_voice(source);
    if (!voice)
        return 1;

    bool measured = false;
    for (bool espeak : { false, true }) {
        const char* name = espeak ? "espeak-ng" : "built-in";
        if (espeak && !Rig(*voice, true).engine->is_open()) {
            std::printf("%s: cannot be opened\n", name);
            continue;
        }
        std::vector<double> starts, stops;
        for (int round = 0; round < rounds; ++round) {
            {
                Rig rig(*voice, espeak);
                // The sentence would take a second or more to hear; a key right
                // after its first block keeps the round short.
                std::thread presser([&] {
                    while (!rig.device.started)
                        std::this_thread::sleep_for(std::chrono::microseconds(200));
                    rig.port.press('x');
                });
                auto start = Steady::now();
                rig.client->speak_text("Bom dia, tudo bem com voc\xEA?");
                rig.client->wait_while_busy();
                presser.join();
                if (rig.device.first_block)
                    starts.push_back(ms_between(start, *rig.device.first_block));
            }
            {
                Rig rig(*voice, espeak);
                std::atomic<bool> pressed = false;
                Steady::time_point key_time;
                std::thread presser([&] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(400));
                    key_time = Steady::now();
                    rig.port.press('x');
                    pressed = true;
                });
                rig.client->speak_text("Este \xE9 um texto longo, lido pelo sintetizador embutido enquanto o usu\xE1rio "
                                       "decide se quer ouvir at\xE9 o fim ou apertar uma tecla para calar a fala de uma vez.");
                rig.client->wait_while_busy();
                presser.join();
                if (rig.device.reset_at && pressed)
                    stops.push_back(ms_between(key_time, *rig.device.reset_at));
            }
        }
        if (starts.empty() || stops.empty()) {
            std::printf("%s: nothing was measured (is the voice complete?)\n", name);
            continue;
        }
        measured = true;
        std::printf("%-9s speak_text to first queued block: median %.2f ms, worst %.2f ms (%zu rounds)\n", name, median(starts),
            *std::max_element(starts.begin(), starts.end()), starts.size());
        std::printf("%-9s key press to wave_stop:           median %.2f ms, worst %.2f ms (%zu rounds)\n", name, median(stops),
            *std::max_element(stops.begin(), stops.end()), stops.size());
    }
    if (!measured)
        return 1;
    return 0;
}
