// SPDX-License-Identifier: GPL-3.0-or-later
// The speech tests' world: a fake console, a temporary drive C, and a small synthetic voice.
#include "tests/speech/speech_fixture.h"

#include "audio/wave_file.h"
#include "speech/unit_synthesiser.h"

#include <algorithm>

namespace speech_test {

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
    client = std::make_unique<speech::SpeechClient>(speech::SpeechClient::Parts { port, *wave, *config, paths, clock, engine });
    cues = std::make_unique<speech::SpeechCues>(speech::SpeechCues::Parts { *client, engine, port, paths });
}

void SpeechWorld::write_settings(std::string_view extra_lines)
{
    std::string text = "[TRADUTOR]\n"
                       "dirLetras=c:\\kestra\\som\\letras\n"
                       "DIRLETRAS=c:\\kestra\\som\\letras\n"
                       "DIRDIFONES=c:\\kestra\\som\\difones\n";
    text += extra_lines;
    auto ini = temp.path() / "Lumera.ini";
    sound_test::write_text_file(ini, text);
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
    sound_test::write_file(diphones() / "DIFONES2.IND", index);
    sound_test::write_file(diphones() / "DIFONES2.DIF", samples);
    sound_test::write_text_file(diphones() / "regras.rgr", rules);
    sound_test::write_text_file(diphones() / "portug.exc", exceptions);
}

void SpeechWorld::write_letter(std::string_view name, int value, size_t length)
{
    sound_test::write_file(letters() / (std::string(name) + ".wav"), sound_test::constant_wave(value, length));
}

void SpeechWorld::write_cue(std::string_view name, int value, size_t length)
{
    write_letter(name, value, length);
}

void SpeechWorld::start()
{
    client->set_log(&log);
    cues->set_log(&log);
    client->init_speech(0, "c:\\scripts");
}

}
