// SPDX-License-Identifier: GPL-3.0-or-later
// BuiltinSynthesiser: the voice database, rules and exceptions of the default voice, opened together.
#pragma once

#include "settings/setting_keys.h"
#include "speech/exception_table.h"
#include "speech/translation_rules.h"
#include "speech/unit_index.h"
#include "speech/unit_synthesiser.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace platform {
class PathMap;
}

namespace speech {

using SpeedSettings = settings::SpeedSettings;

constexpr std::string_view database_name = "DIFONES2";

// The SINTETIZADOR values of one speed level.
SpeedSettings load_speed_settings(const settings::Settings& settings, int level);

class BuiltinSynthesiser {
public:
    // 0 ready; 1 a folder, the index or the sample file cannot be opened;
    // 2 the rules or the exceptions file cannot be read.
    enum OpenResult { Ready = 0, DatabaseMissing = 1, RulesMissing = 2 };

    BuiltinSynthesiser();
    ~BuiltinSynthesiser();
    BuiltinSynthesiser(const BuiltinSynthesiser&) = delete;
    BuiltinSynthesiser& operator=(const BuiltinSynthesiser&) = delete;

    // `letters_directory` and `diphone_directory` are Windows-style, with a
    // final backslash; `play_image` plays a wave image and waits for its end.
    int open_builtin_synth(const platform::PathMap& paths, std::string letters_directory, std::string diphone_directory,
        std::function<void(std::span<const uint8_t>)> play_image, std::function<bool()> key_waiting);
    void close_builtin_synth();
    bool is_open() const { return m_synth != nullptr; }

    void set_timing(UnitTiming timing);
    std::string translate_to_phonemes(std::string_view text) const;
    void synthesise_phonemes(std::string_view units, bool silent_punctuation);

    const TranslationRules& rules() const { return m_rules; }
    const ExceptionTable& exceptions() const { return m_exceptions; }
    const UnitIndex& index() const { return m_index; }

private:
    std::vector<uint8_t> read_letter(std::string_view name) const;

    const platform::PathMap* m_paths = nullptr;
    std::string m_letters_dir;
    TranslationRules m_rules;
    ExceptionTable m_exceptions;
    UnitIndex m_index;
    std::FILE* m_samples = nullptr;
    UnitTiming m_timing;
    std::unique_ptr<UnitSynthesiser> m_synth;
};

// A whole small file (at most `limit` bytes), or nothing when it cannot be read.
std::optional<std::vector<uint8_t>> read_small_file(const std::string& system_path, size_t limit);

}
