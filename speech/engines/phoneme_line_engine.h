// SPDX-License-Identifier: GPL-3.0-or-later
// PhonemeLineEngine: the voice of our own front end and a diphone synthesiser library (engine type 3).
#pragma once

#include "speech/engines/phoneme_line_library.h"
#include "speech/engines/phoneme_line_normaliser.h"
#include "speech/engines/phoneme_line_prosody.h"
#include "speech/engines/phoneme_line_translator.h"
#include "speech/speech_engine.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace audio {
class WaveOutput;
}
namespace platform {
class PathMap;
}
namespace settings {
class Settings;
}

namespace speech {

class ConsolePort;

// Where the voice finds its parts, as system paths.
struct PhonemeLineSetup {
    std::vector<std::string> library_files; // tried in order
    std::string database;                   // handed to init_MBR
    std::string front_end;                  // folder and base name; the extensions follow
    std::string output_file;                // empty: the samples are played
};

// The synthesiser library is looked for in the program's own folder, then
// in c:\kestra and c:\kestra\bertatts; the database is c:\kestra\bertatts\br4
// (there is no registry to name another); the front end's files are the
// BERTATTS folder and base name of the settings.
PhonemeLineSetup phoneme_line_setup(const settings::Settings& settings, const platform::PathMap& paths, const std::string& program_folder);

constexpr int phoneme_line_rate = 16000;
constexpr size_t staging_samples = 64000;
constexpr size_t play_image_bytes = 64000;
constexpr size_t shortest_image_bytes = 256;

class PhonemeLineEngine final : public SpeechEngine {
public:
    // Nothing, and no message, when the library, the database, a front-end
    // file or the output file is missing or unusable.
    static std::unique_ptr<PhonemeLineEngine> open(const EngineChoice& choice, PhonemeLineSetup setup, audio::WaveOutput& wave, ConsolePort& port);
    ~PhonemeLineEngine() override;
    PhonemeLineEngine(const PhonemeLineEngine&) = delete;
    PhonemeLineEngine& operator=(const PhonemeLineEngine&) = delete;

    void speak(std::string_view text) override;
    bool busy(bool after_open) override;
    void stop() override;

    double pitch_factor() const { return m_pitch_factor; }
    double duration_factor() const { return m_duration_factor; }
    // The lines the synthesiser is given for `text`.
    std::vector<std::string> synthesiser_lines(std::string_view text) const;

private:
    PhonemeLineEngine(PhonemeLineLibrary library, PhonemeLineSetup setup, audio::WaveOutput& wave, ConsolePort& port);
    bool load_front_end();
    bool restart_synthesiser();
    // False when a key stopped the playing.
    bool play_image();
    void close_file();

    PhonemeLineLibrary m_library;
    PhonemeLineSetup m_setup;
    audio::WaveOutput& m_wave;
    ConsolePort& m_port;
    bool m_synthesiser_ready = true;
    double m_pitch_factor = 1.0;
    double m_duration_factor = 1.0;
    std::FILE* m_file = nullptr;
    AbbreviationTable m_abbreviations;
    PhonemeLineTranslator m_translator;
    PhonemeLineProsody m_prosody;
    std::vector<short> m_staging;
    std::vector<uint8_t> m_play;
};

}
