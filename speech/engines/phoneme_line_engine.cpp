// SPDX-License-Identifier: GPL-3.0-or-later
// PhonemeLineEngine: the voice of our own front end and a diphone synthesiser library (engine type 3).
#include "speech/engines/phoneme_line_engine.h"

#include "audio/wave_file.h"
#include "audio/wave_output.h"
#include "platform/path_map.h"
#include "settings/setting_keys.h"
#include "speech/console_port.h"
#include "speech/engines/phoneme_line_text.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <optional>

namespace speech {

namespace {

constexpr platform::PcmFormat voice_format { phoneme_line_rate, 16, 1 };
// The synthesiser's own "no error" setting while an utterance is written.
constexpr int no_error_while_speaking = -63;
constexpr int close_wait_ms = 500;

std::optional<std::string> read_file(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

}

PhonemeLineSetup phoneme_line_setup(const settings::Settings& settings, const platform::PathMap& paths, const std::string& program_folder)
{
    PhonemeLineSetup setup;
    if (!program_folder.empty())
        setup.library_files.push_back(program_folder + "/libmbrola.so");
    setup.library_files.push_back(paths.to_system("c:\\kestra\\libmbrola.so"));
    setup.library_files.push_back(paths.to_system("c:\\kestra\\bertatts\\libmbrola.so"));
    setup.database = paths.to_system("c:\\kestra\\bertatts\\br4");
    std::string base = settings::berta_base_name(settings);
    setup.front_end = paths.to_system(settings::berta_directory(settings) + (base.empty() ? std::string("portug") : base));
    return setup;
}

PhonemeLineEngine::PhonemeLineEngine(PhonemeLineLibrary library, PhonemeLineSetup setup, audio::WaveOutput& wave, ConsolePort& port)
    : m_library(std::move(library))
    , m_setup(std::move(setup))
    , m_wave(wave)
    , m_port(port)
    , m_staging(staging_samples)
{
    m_play.reserve(2 * staging_samples + play_image_bytes);
}

std::unique_ptr<PhonemeLineEngine> PhonemeLineEngine::open(const EngineChoice& choice, PhonemeLineSetup setup, audio::WaveOutput& wave, ConsolePort& port)
{
    auto library = load_phoneme_line_library(setup.library_files);
    if (!library)
        return nullptr;
    std::string database = setup.database;
    if (library->init_MBR(database.data()) < 0)
        return nullptr;
    std::unique_ptr<PhonemeLineEngine> engine(new PhonemeLineEngine(std::move(*library), std::move(setup), wave, port));
    // From here the destructor closes the synthesiser.
    if (!engine->load_front_end())
        return nullptr;
    if (engine->m_setup.output_file.empty()) {
        engine->m_library.setNoError_MBR(0);
    } else {
        engine->m_file = std::fopen(engine->m_setup.output_file.c_str(), "wb");
        if (!engine->m_file)
            return nullptr;
        std::array<uint8_t, audio::wave_header_bytes> header {};
        audio::write_wave_header(header, voice_format, 0);
        if (std::fwrite(header.data(), 1, header.size(), engine->m_file) != header.size() || std::fflush(engine->m_file) != 0)
            return nullptr;
    }
    engine->m_pitch_factor = (choice.pitch + 11) / 11.0;
    engine->m_duration_factor = 0.8 - choice.speed / 15.0;
    // Settings beyond the scale's ends would give no pitch or durations of
    // zero and below, which no synthesiser can play.
    engine->m_pitch_factor = std::max(engine->m_pitch_factor, 1 / 11.0);
    engine->m_duration_factor = std::max(engine->m_duration_factor, 0.1);
    return engine;
}

bool PhonemeLineEngine::load_front_end()
{
    const std::string& prefix = m_setup.front_end.empty() ? std::string("portug") : m_setup.front_end;
    auto rules = read_file(prefix + ".nrl");
    auto exceptions = read_file(prefix + ".exc");
    auto abbreviations = read_file(prefix + ".abr");
    auto prosody = read_file(prefix + ".pro");
    auto definitions = read_file(prefix + ".dfn");
    if (!rules || !exceptions || !abbreviations || !prosody || !definitions)
        return false;
    m_translator.load_rules(*rules);
    m_translator.load_exceptions(*exceptions);
    m_abbreviations.load(*abbreviations);
    m_prosody.load_definitions(*definitions);
    // A rules file without a rule or a list without a diphone is damaged:
    // the voice would say nothing, or only pauses.
    if (m_translator.rule_count() == 0 || !m_prosody.load_prosody(*prosody) || !m_prosody.has_diphone("_", "_"))
        return false;
    return true;
}

PhonemeLineEngine::~PhonemeLineEngine()
{
    while (busy(false))
        m_port.wait_event(close_wait_ms);
    stop();
    close_file();
    m_translator.clear();
    m_prosody.clear();
    m_abbreviations.clear();
    if (m_synthesiser_ready)
        m_library.close_MBR();
}

void PhonemeLineEngine::close_file()
{
    if (!m_file)
        return;
    // The data size is known only now: the header written at open said 0.
    std::fflush(m_file);
    std::fseek(m_file, 0, SEEK_END);
    long size = std::ftell(m_file);
    if (size >= static_cast<long>(audio::wave_header_bytes)) {
        std::array<uint8_t, audio::wave_header_bytes> header {};
        audio::write_wave_header(header, voice_format, static_cast<size_t>(size) - audio::wave_header_bytes);
        std::fseek(m_file, 0, SEEK_SET);
        std::fwrite(header.data(), 1, header.size(), m_file);
    }
    std::fclose(m_file);
    m_file = nullptr;
}

std::vector<std::string> PhonemeLineEngine::synthesiser_lines(std::string_view text) const
{
    text = trim_line(text);
    if (text.empty())
        return {};
    std::string normalised = normalise_text(text, m_abbreviations);
    auto words = m_prosody.specify(m_prosody.phrase_lines(normalised));
    return m_prosody.run(m_translator.translate(words), m_duration_factor, m_pitch_factor);
}

// The library stays loaded for the rest of the run (a loaded library is
// never unloaded, see SharedLibrary), so a restart is closing and
// initialising the synthesiser again, which empties all it held.
bool PhonemeLineEngine::restart_synthesiser()
{
    if (m_synthesiser_ready)
        m_library.close_MBR();
    m_synthesiser_ready = false;
    auto library = load_phoneme_line_library({ m_library.file });
    if (!library)
        return false;
    m_library = std::move(*library);
    std::string database = m_setup.database;
    m_synthesiser_ready = m_library.init_MBR(database.data()) >= 0;
    return m_synthesiser_ready;
}

bool PhonemeLineEngine::play_image()
{
    if (m_play.empty())
        return true;
    auto image = audio::make_wave_image(voice_format, m_play);
    m_play.clear();
    m_wave.play_wave_image(image);
    return !m_port.key_waiting();
}

void PhonemeLineEngine::speak(std::string_view text)
{
    auto lines = synthesiser_lines(text);
    if (lines.empty() || !m_synthesiser_ready) {
        m_port.post_wake_up();
        return;
    }
    bool fast = m_wave.fast_playback;
    bool cutting = m_wave.speech_cutting;
    m_wave.fast_playback = false;
    m_wave.speech_cutting = false;
    m_play.clear();
    m_library.reset_MBR();
    m_library.setNoError_MBR(no_error_while_speaking);
    bool failed = false;
    bool stopped = false;
    for (size_t i = 0; i < lines.size() && !failed && !stopped; ++i) {
        bool last = i + 1 == lines.size();
        if (lines[i].empty() && !last)
            continue;
        std::string line = lines[i] + "\r\n";
        if (m_library.write_MBR(line.data()) < 0) {
            restart_synthesiser();
            failed = true;
            break;
        }
        if (last)
            m_library.flush_MBR();
        for (;;) {
            int count = m_library.read_MBR(m_staging.data(), static_cast<int>(m_staging.size()));
            if (count <= 0)
                break;
            size_t samples = std::min(static_cast<size_t>(count), m_staging.size());
            size_t bytes = samples * 2;
            if (m_file) {
                std::vector<uint8_t> data(bytes);
                for (size_t s = 0; s < samples; ++s) {
                    auto value = static_cast<uint16_t>(m_staging[s]);
                    data[s * 2] = static_cast<uint8_t>(value & 0xFF);
                    data[s * 2 + 1] = static_cast<uint8_t>(value >> 8);
                }
                if (std::fwrite(data.data(), 1, bytes, m_file) != bytes)
                    failed = true;
                continue;
            }
            if (m_play.size() + bytes >= play_image_bytes && !play_image()) {
                stopped = true;
                break;
            }
            for (size_t s = 0; s < samples; ++s) {
                auto value = static_cast<uint16_t>(m_staging[s]);
                m_play.push_back(static_cast<uint8_t>(value & 0xFF));
                m_play.push_back(static_cast<uint8_t>(value >> 8));
            }
        }
    }
    if (!m_file && !stopped && !m_play.empty()) {
        if (m_play.size() < shortest_image_bytes)
            m_play.resize(shortest_image_bytes, 0);
        play_image();
    }
    m_play.clear();
    // What is in the file can be played while the voice is still open.
    if (m_file)
        std::fflush(m_file);
    if (stopped)
        stop();
    m_wave.fast_playback = fast;
    m_wave.speech_cutting = cutting;
    m_port.post_wake_up();
}

// No wake-up is posted here: the caller polls busy between waits of its
// own, and a wake-up on every poll would make each of those waits return
// at once, spinning for as long as the voice speaks.
bool PhonemeLineEngine::busy(bool)
{
    bool playing = !m_file && m_wave.wave_busy();
    if (m_port.key_waiting()) {
        stop();
        playing = false;
    }
    return playing;
}

void PhonemeLineEngine::stop()
{
    if (!m_file)
        m_wave.wave_stop();
    m_port.post_wake_up();
}

}
