// SPDX-License-Identifier: GPL-3.0-or-later
// A compact model of the built-in letter-to-sound translator, used by the
// voice-data generator to learn which database names the rules can ask for.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace voice {

// One line of a rules file: contexts, the consumed centre and the output.
struct Rule {
    std::string left;
    std::string centre;
    std::string right;
    std::string output;
};

// The rules in file order, held in buckets by the first centre character
// (codes 32 to 95, as the engine keeps them).
class RuleSet {
public:
    static std::optional<RuleSet> load(const std::string& path);
    static RuleSet parse(std::string_view text);

    // The unit string of one word ("[" units "]"), the word already prepared,
    // looked up and stress-marked.
    std::string apply(std::string_view word) const;
    size_t size() const { return m_count; }

private:
    std::vector<std::vector<Rule>> m_buckets = std::vector<std::vector<Rule>>(64);
    size_t m_count = 0;
};

// Word and respelling pairs, sorted by word in byte order.
class ExceptionTable {
public:
    static std::optional<ExceptionTable> load(const std::string& path);
    static ExceptionTable parse(std::string_view text);

    // The respelling of the word; a final "s" or "m" the table lacks is
    // moved to a suffix and the shorter word is tried, as the engine does.
    std::string respell(std::string_view word) const;
    const std::string* find(std::string_view word) const;
    size_t size() const { return m_entries.size(); }
    // Adds or replaces an entry, keeping the order (used while building).
    void add(const std::string& word, const std::string& respelling);
    const std::vector<std::pair<std::string, std::string>>& entries() const { return m_entries; }

private:
    std::vector<std::pair<std::string, std::string>> m_entries;
};

// Windows-1252 text as the rules see it: accented letters become a letter
// and a diacritic mark, "w"/"y" beside letters become "u"/"i".
std::string prepare_text(std::string_view text);

// Upper-cases the vowel that carries the stress (the word is lower case).
void mark_stress(std::string& word, bool explicitly_accented, int vowel_count);

// A word as the translator takes it from the prepared text: lower case,
// with the facts that decide its stress.
struct PreparedWord {
    std::string text;
    bool explicitly_accented = false;
    int vowel_count = 0;
};

std::vector<PreparedWord> prepare_words(std::string_view text);

// One word's unit string: exceptions, stress, then spelling or the rules.
std::string translate_word(const PreparedWord& word, const RuleSet& rules, const ExceptionTable& exceptions);

// The whole translation of a text (Windows-1252) into its unit string.
std::string translate_to_phonemes(std::string_view text, const RuleSet& rules,
                                  const ExceptionTable& exceptions);

bool is_rule_vowel(char c);
bool is_rule_consonant(char c);
bool is_rule_letter(char c);
bool is_diacritic_mark(char c);

}
