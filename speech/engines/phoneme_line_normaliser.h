// SPDX-License-Identifier: GPL-3.0-or-later
// The phoneme-line voice's normaliser: numbers, ordinals, signs and abbreviations into Portuguese words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace speech {

constexpr size_t max_abbreviations = 2000;
constexpr size_t max_expansion_length = 999;

// The abbreviations file ("portug.abr"): "KEY=expansion" lines, read as
// Windows-1252; ";" starts a comment. Keys are upper-cased and compared in
// file order, so the first of two equal keys wins.
class AbbreviationTable {
public:
    void load(std::string_view file_text);
    // The expansion of `word` (any case); empty when it has none.
    std::string_view find(std::string_view word) const;
    size_t size() const { return m_entries.size(); }
    void clear() { m_entries.clear(); }

private:
    struct Entry {
        std::string key;
        std::string expansion;
    };
    std::vector<Entry> m_entries;
};

enum class OrdinalGender {
    Masculine,
    Feminine,
};

// Brazilian Portuguese cardinals with the voice's accented spelling
// ("três", "cinqüenta"); group names keep their trailing blank ("mil ").
std::string cardinal_words(uint64_t value);
// "primeiro", "vigésima primeira"...; from 2000 on the cardinal words.
std::string ordinal_words(uint64_t value, OrdinalGender gender);
// The spoken name of a Windows-1252 character; empty for codes without one.
std::string_view char_name(uint8_t code);

// Rewrites an utterance into plain words, keeping only the signs the
// phrase stage reads: blank ! ( ) , . : ; ?
std::string normalise_text(std::string_view text, const AbbreviationTable& abbreviations);

bool is_word_letter(uint8_t code);

}
