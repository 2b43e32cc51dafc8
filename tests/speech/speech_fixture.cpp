// SPDX-License-Identifier: GPL-3.0-or-later
// The speech tests' world: a fake console, a temporary drive C, and a small synthetic voice.
#include "tests/speech/speech_fixture.h"

#include "audio/wave_file.h"
#include "speech/unit_synthesiser.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace speech_test {

uint8_t FakePort::read_key()
{
    // A test never blocks: with no key left, the clock jumps to the next
    // timed one, or Enter is answered.
    arrive_keys();
    if (keys.empty() && !timed_keys.empty()) {
        auto first = timed_keys.begin()->first;
        if (first > m_clock.monotonic_ms())
            m_clock.pass_ms(first - m_clock.monotonic_ms());
        arrive_keys();
    }
    if (keys.empty())
        return 13;
    uint8_t key = keys.front();
    keys.pop_front();
    return key;
}

void FakePort::arrive_keys()
{
    uint64_t now = m_clock.monotonic_ms();
    while (!timed_keys.empty() && timed_keys.begin()->first <= now) {
        keys.push_back(timed_keys.begin()->second);
        key_arrivals.push_back(now);
        timed_keys.erase(timed_keys.begin());
    }
}

void FakePort::wait_event(int timeout_ms)
{
    uint64_t now = m_clock.monotonic_ms();
    uint64_t step = static_cast<uint64_t>(std::max(0, timeout_ms));
    if (!timed_keys.empty() && timed_keys.begin()->first >= now)
        step = std::min<uint64_t>(step, timed_keys.begin()->first - now);
    m_clock.pass_ms(step);
    waited_ms += step;
    arrive_keys();
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "speech-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

std::vector<Run> runs_of(const std::vector<uint8_t>& samples)
{
    std::vector<Run> runs;
    for (uint8_t sample : samples) {
        if (!runs.empty() && runs.back().value == sample)
            ++runs.back().length;
        else
            runs.push_back({ sample, 1 });
    }
    return runs;
}

std::string describe(const std::vector<Run>& runs)
{
    std::string text;
    for (const auto& run : runs)
        text += std::to_string(run.value) + "x" + std::to_string(run.length) + " ";
    return text;
}

std::vector<uint8_t> constant_wave(int value, size_t length, int rate, int bits, int channels)
{
    std::vector<uint8_t> samples(length * static_cast<size_t>(bits / 8 * channels), static_cast<uint8_t>(value));
    return audio::make_wave_image({ rate, bits, channels }, samples);
}

void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void write_text_file(const std::filesystem::path& path, std::string_view text)
{
    write_file(path, std::vector<uint8_t>(text.begin(), text.end()));
}

SpeechWorld::SpeechWorld(bool real_time)
    : clock(platform::LocalTime { 2024, 3, 15, 5, 10, 30, 0, 0 })
{
    paths.set_drive('C', (temp.path() / "c").string());
    std::filesystem::create_directories(letters());
    std::filesystem::create_directories(diphones());
    std::filesystem::create_directories(temp.path() / "c/scripts");
    write_settings("");
    recorder = std::make_unique<platform::RecorderAudioDevice>(clock, !real_time);
    wave = std::make_unique<audio::WaveOutput>(*recorder, port, paths);
    client = std::make_unique<speech::SpeechClient>(speech::SpeechClient::Parts { port, *wave, *config, paths, clock, engines });
}

void SpeechWorld::write_settings(std::string_view extra_lines)
{
    std::string text = "[TRADUTOR]\n"
                       "dirLetras=c:\\kestra\\som\\letras\n"
                       "DIRLETRAS=c:\\kestra\\som\\letras\n"
                       "DIRDIFONES=c:\\kestra\\som\\difones\n";
    text += extra_lines;
    auto ini = temp.path() / "Lumera.ini";
    write_text_file(ini, text);
    settings::SettingsPlaces places;
    places.user_directory = (temp.path() / "user").string();
    places.ini_override = ini.string();
    places.program_directory = temp.path().string();
    if (!config)
        config = std::make_unique<settings::Settings>(paths, places);
}

void SpeechWorld::write_voice(const std::vector<VoiceUnit>& units, std::string_view rules, std::string_view exceptions)
{
    auto sorted = units;
    std::sort(sorted.begin(), sorted.end(), [](const VoiceUnit& a, const VoiceUnit& b) { return a.name < b.name; });
    std::vector<uint8_t> index, samples;
    for (const auto& unit : sorted) {
        uint8_t record[15] = {};
        record[0] = static_cast<uint8_t>(unit.name.size());
        std::fill(record + 1, record + 9, ' ');
        std::copy(unit.name.begin(), unit.name.end(), record + 1);
        record[9] = static_cast<uint8_t>(unit.samples);
        record[10] = static_cast<uint8_t>(unit.samples >> 8);
        auto offset = static_cast<uint32_t>(samples.size());
        for (int i = 0; i < 4; ++i)
            record[11 + i] = static_cast<uint8_t>(offset >> (8 * i));
        index.insert(index.end(), record, record + 15);
        samples.insert(samples.end(), unit.samples, static_cast<uint8_t>(unit.value));
    }
    write_file(diphones() / "DIFONES2.IND", index);
    write_file(diphones() / "DIFONES2.DIF", samples);
    write_text_file(diphones() / "regras.rgr", rules);
    write_text_file(diphones() / "portug.exc", exceptions);
}

void SpeechWorld::write_letter(std::string_view name, int value, size_t length)
{
    write_file(letters() / (std::string(name) + ".wav"), constant_wave(value, length));
}

void SpeechWorld::write_cue(std::string_view name, int value, size_t length)
{
    write_letter(name, value, length);
}

void SpeechWorld::start()
{
    client->set_log(&log);
    client->init_speech(0, "c:\\scripts");
}

}
