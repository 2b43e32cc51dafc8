// SPDX-License-Identifier: GPL-3.0-or-later
// The phoneme-line voice's translator: word lines into phoneme lines by context rules and exceptions.
#pragma once

#include "speech/exception_table.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace speech {

struct PhonemeRule {
    std::string left; // read right to left from the centre
    std::string centre;
    std::string right;
    std::string output; // "&" separates phonemes
};

class PhonemeLineTranslator {
public:
    // The rules file ("portug.nrl"): "LEFT(CENTRE)RIGHT=OUTPUT|" lines,
    // ";" a comment. Empties every bucket first.
    void load_rules(std::string_view file_text);
    // The exceptions file ("portug.exc"): "WORD=RESPELLING|" lines, upper-cased.
    void load_exceptions(std::string_view file_text);
    void clear();

    // Rules whose centre begins with `code` (32..255), in file order.
    const std::vector<PhonemeRule>& bucket(uint8_t code) const;
    size_t rule_count() const;

    // One line per phoneme for each word line ("SPC|WORD") of an utterance:
    // a comment line with the word line first, a marker for a sign, then
    // the word's phonemes (the stressed one after ">") and an empty line.
    std::vector<std::string> translate(const std::vector<std::string>& word_lines) const;

    // The phoneme lines of one upper-cased word, without the empty line.
    std::vector<std::string> translate_word(std::string_view word) const;

private:
    static constexpr int first_bucket = 32;
    std::array<std::vector<PhonemeRule>, 256 - first_bucket> m_buckets;
    ExceptionTable m_exceptions;
};

// True when `rule` matches the upper-cased `word` at 0-based `position`.
bool phoneme_rule_matches(const PhonemeRule& rule, std::string_view word, size_t position);

// The 1-based position of the stressed vowel of a lower-cased word; 0 when
// it has none.
size_t find_stress(std::string_view word);

// Lower case for Windows-1252 letters, accented ones included.
std::string lower_text(std::string_view text);

}
