// SPDX-License-Identifier: GPL-3.0-or-later
// BuiltinSynthesiser: the voice database, rules and exceptions of the default voice, opened together.
#include "speech/builtin_synthesiser.h"

#include "platform/path_map.h"
#include "speech/builtin_translator.h"

#include <filesystem>

namespace speech {

namespace {

// The database index and the text files are a few megabytes at most; a
// file beyond these limits is not one of ours.
constexpr size_t index_limit = 16 * 1024 * 1024;
constexpr size_t text_limit = 16 * 1024 * 1024;
constexpr size_t letter_limit = 4 * 1024 * 1024;

bool is_directory(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

std::string_view as_text(const std::vector<uint8_t>& bytes)
{
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}

std::optional<std::vector<uint8_t>> read_small_file(const std::string& system_path, size_t limit)
{
    std::FILE* file = std::fopen(system_path.c_str(), "rb");
    if (!file)
        return std::nullopt;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (bytes.size() + got > limit) {
            std::fclose(file);
            return std::nullopt;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    return bytes;
}

SpeedSettings load_speed_settings(const settings::Settings& settings, int level)
{
    return settings::speed_settings(settings, level);
}

BuiltinSynthesiser::BuiltinSynthesiser() = default;

BuiltinSynthesiser::~BuiltinSynthesiser()
{
    close_builtin_synth();
}

int BuiltinSynthesiser::open_builtin_synth(const platform::PathMap& paths, std::string letters_directory, std::string diphone_directory,
    std::function<void(std::span<const uint8_t>)> play_image, std::function<bool()> key_waiting)
{
    close_builtin_synth();
    m_paths = &paths;
    m_letters_dir = std::move(letters_directory);
    // Both folders must exist, as the original changed into each of them.
    if (!is_directory(paths.to_system(m_letters_dir)) || !is_directory(paths.to_system(diphone_directory)))
        return DatabaseMissing;
    std::string base = diphone_directory + std::string(database_name);
    auto index = read_small_file(paths.to_system(base + ".IND"), index_limit);
    if (!index)
        return DatabaseMissing;
    m_samples = std::fopen(paths.to_system(base + ".DIF").c_str(), "rb");
    if (!m_samples)
        return DatabaseMissing;
    m_index.load(std::move(*index));

    auto rules = read_small_file(paths.to_system(diphone_directory + "regras.rgr"), text_limit);
    auto exceptions = rules ? read_small_file(paths.to_system(diphone_directory + "portug.exc"), text_limit) : std::nullopt;
    if (!rules || !exceptions) {
        close_builtin_synth();
        return RulesMissing;
    }
    m_rules.load(as_text(*rules));
    m_exceptions.load(as_text(*exceptions));

    UnitSynthesiser::Sources sources;
    sources.index = &m_index;
    sources.samples = m_samples;
    sources.read_letter = [this](std::string_view name) { return read_letter(name); };
    sources.play_image = std::move(play_image);
    sources.key_waiting = std::move(key_waiting);
    m_synth = std::make_unique<UnitSynthesiser>(std::move(sources));
    m_synth->set_timing(m_timing);
    return Ready;
}

void BuiltinSynthesiser::close_builtin_synth()
{
    m_synth.reset();
    if (m_samples) {
        std::fclose(m_samples);
        m_samples = nullptr;
    }
    m_index.clear();
    m_rules.load("");
    m_exceptions.load("");
}

void BuiltinSynthesiser::set_timing(UnitTiming timing)
{
    m_timing = timing;
    if (m_synth)
        m_synth->set_timing(timing);
}

std::string BuiltinSynthesiser::translate_to_phonemes(std::string_view text) const
{
    return speech::translate_to_phonemes(text, m_rules, m_exceptions);
}

void BuiltinSynthesiser::synthesise_phonemes(std::string_view units, bool silent_punctuation)
{
    if (m_synth)
        m_synth->synthesise_phonemes(units, silent_punctuation);
}

std::vector<uint8_t> BuiltinSynthesiser::read_letter(std::string_view name) const
{
    if (!m_paths)
        return {};
    auto bytes = read_small_file(m_paths->to_system(m_letters_dir + std::string(name) + ".wav"), letter_limit);
    return bytes ? std::move(*bytes) : std::vector<uint8_t> {};
}

}
