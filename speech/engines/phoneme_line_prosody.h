// SPDX-License-Identifier: GPL-3.0-or-later
// The phoneme-line voice's prosody: phrases, pitch specifications, durations and the diphone check.
#pragma once

#include "base/result.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace speech {

struct PitchSpecification {
    std::array<std::string, 3> codes; // previous, current, next word; empty matches any
    std::string specification;        // three digits indexing the pitch table
};

class PhonemeLineProsody {
public:
    // The prosody file ("portug.pro"), sections [DURAÇÃO], [CHAVES] and
    // [PROSÓDIA]. An error carries the message the user is shown; a
    // duration that is not a number is only warned about, and 100 is used.
    base::Result<void> load_prosody(std::string_view file_text);
    // The definitions file ("portug.dfn"): the diphones the database has,
    // a pair of phoneme names a line.
    void load_definitions(std::string_view file_text);
    void clear();

    const std::vector<std::string>& warnings() const { return m_warnings; }
    int duration_of(std::string_view phoneme) const;
    bool has_diphone(std::string_view first, std::string_view second) const;
    int base_pitch() const { return m_base_pitch; }

    // The normalised text as word lines "[CODE]WORD", a phrase beginning
    // with "[--]".
    std::vector<std::string> phrase_lines(std::string_view normalised) const;
    // Each word line as "SPC|WORD", its three-digit pitch specification
    // chosen by the codes of its neighbours.
    std::vector<std::string> specify(const std::vector<std::string>& phrase_lines) const;
    // The synthesiser's lines "NAME DURATION [PERCENT PITCH]..." for the
    // translator's phoneme lines.
    std::vector<std::string> run(const std::vector<std::string>& phoneme_lines, double duration_factor, double pitch_factor) const;

private:
    struct Duration {
        std::string phoneme;
        int milliseconds = 100;
    };
    struct Key {
        std::string word;
        std::string code;
    };

    std::string code_of(std::string_view word) const;

    std::vector<Duration> m_durations;
    std::vector<Key> m_keys; // sorted by word
    int m_base_pitch = 230;
    std::array<int, 10> m_pitch_table {};
    std::vector<PitchSpecification> m_specifications;
    std::vector<std::string> m_diphones; // "A-B", sorted
    std::vector<std::string> m_warnings;
};

}
