// SPDX-License-Identifier: GPL-3.0-or-later
// Building the exceptions from espeak-ng's transcriptions.
#include "exception_builder.h"

#include "pronunciation_compare.h"

#include "base/text_encoding.h"
#include "speech/builtin_translator.h"
#include "speech/exception_table.h"

#include <algorithm>

namespace voice {

namespace {

Phonemes ours(const speech::PreparedWord& word, const speech::TranslationRules& rules,
             const speech::ExceptionTable& table)
{
    return normalise_phonemes(phonemes_of_units(speech::translate_word(word, rules, table)));
}

// The respellings found so far and the translator's table of them. The
// table is loaded from the file text again only when an entry was added
// since it was last asked for: a few thousand reloads of a few thousand
// lines, against a quarter of a million words sent to espeak-ng.
class GrowingExceptions {
public:
    void add(const std::string& word, const std::string& respelling)
    {
        m_respellings[word] = respelling;
        m_stale = true;
    }

    const speech::ExceptionTable& table()
    {
        if (m_stale) {
            m_table.load(exceptions_file_text(m_respellings));
            m_stale = false;
        }
        return m_table;
    }

    const Respellings& respellings() const { return m_respellings; }

private:
    Respellings m_respellings;
    speech::ExceptionTable m_table;
    bool m_stale = false;
};

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

Respellings build_exceptions(const std::vector<std::string>& words, const speech::TranslationRules& rules,
                             EspeakRenderer& renderer, ExceptionStatistics& statistics)
{
    std::vector<std::string> ordered = words;
    std::sort(ordered.begin(), ordered.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());

    GrowingExceptions found;
    for (const std::string& word : ordered) {
        std::vector<speech::PreparedWord> prepared = speech::prepare_words(word);
        if (prepared.size() != 1 || prepared[0].text.size() < 2)
            continue;
        ++statistics.words;
        const speech::PreparedWord& entry = prepared[0];
        Phonemes theirs = normalise_phonemes(phonemes_of_espeak(renderer.transcribe(base::windows1252_to_utf8(word))));
        if (theirs.empty() || same_pronunciation(ours(entry, rules, found.table()), theirs))
            continue;
        ++statistics.disagreements;
        if (found.respellings().size() >= exception_capacity)
            continue;
        bool kept = false;
        for (bool accent : { false, true }) {
            auto respelling = respell_phonemes(theirs, accent);
            if (!respelling)
                continue;
            speech::ExceptionTable trial;
            trial.load(entry.text + "=" + *respelling);
            if (!same_pronunciation(ours(entry, rules, trial), theirs))
                continue;
            found.add(entry.text, *respelling);
            kept = true;
            break;
        }
        if (!kept)
            ++statistics.unspellable;
    }
    statistics.kept = found.respellings().size();
    return found.respellings();
}

std::string exceptions_file_text(const Respellings& respellings)
{
    std::string text;
    for (const auto& [word, respelling] : respellings)
        text += word + "=" + respelling + "\r\n";
    return text;
}

}
