// SPDX-License-Identifier: GPL-3.0-or-later
// Building the exceptions from espeak-ng's transcriptions.
#include "exception_builder.h"

#include "pronunciation_compare.h"
#include "base/text_encoding.h"

#include <algorithm>

namespace voice {

namespace {

Phonemes ours(const PreparedWord& word, const RuleSet& rules, const ExceptionTable& table)
{
    return normalise_phonemes(phonemes_of_units(translate_word(word, rules, table)));
}

// Monosyllables carry no stress in our rules and one in espeak-ng's
// transcriptions, and espeak-ng leaves some function words without one;
// stress is compared only where both sides mark it.
size_t stress_count(const Phonemes& phonemes)
{
    size_t count = 0;
    for (const std::string& symbol : phonemes)
        if (!symbol.empty() && symbol[0] == '\'')
            ++count;
    return count;
}

Phonemes without_stress(Phonemes phonemes)
{
    for (std::string& symbol : phonemes)
        if (!symbol.empty() && symbol[0] == '\'')
            symbol.erase(0, 1);
    return phonemes;
}

bool same_pronunciation(const Phonemes& a, const Phonemes& b)
{
    if (stress_count(a) == 0 || stress_count(b) == 0)
        return without_stress(a) == without_stress(b);
    return a == b;
}

}

ExceptionTable build_exceptions(const std::vector<std::string>& words, const RuleSet& rules,
                                EspeakRenderer& renderer, ExceptionStatistics& statistics)
{
    std::vector<std::string> ordered = words;
    std::sort(ordered.begin(), ordered.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());

    ExceptionTable table;
    for (const std::string& word : ordered) {
        std::vector<PreparedWord> prepared = prepare_words(word);
        if (prepared.size() != 1 || prepared[0].text.size() < 2)
            continue;
        ++statistics.words;
        const PreparedWord& entry = prepared[0];
        Phonemes theirs = normalise_phonemes(phonemes_of_espeak(renderer.transcribe(base::windows1252_to_utf8(word))));
        if (theirs.empty() || same_pronunciation(ours(entry, rules, table), theirs))
            continue;
        ++statistics.disagreements;
        if (table.size() >= exception_capacity)
            continue;
        bool kept = false;
        for (bool accent : { false, true }) {
            auto respelling = respell_phonemes(theirs, accent);
            if (!respelling)
                continue;
            ExceptionTable trial;
            trial.add(entry.text, *respelling);
            if (!same_pronunciation(ours(entry, rules, trial), theirs))
                continue;
            table.add(entry.text, *respelling);
            kept = true;
            break;
        }
        if (!kept)
            ++statistics.unspellable;
    }
    statistics.kept = table.size();
    return table;
}

std::string exceptions_file_text(const ExceptionTable& table)
{
    std::string text;
    for (const auto& [word, respelling] : table.entries())
        text += word + "=" + respelling + "\r\n";
    return text;
}

}
