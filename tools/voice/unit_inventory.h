// SPDX-License-Identifier: GPL-3.0-or-later
// Which units the database holds and how each one is cut out of espeak-ng's
// speech: a name ("$" and the unit's letters, upper case) is read back into
// its sounds, placed in a carrier phrase and cut at the phoneme events.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace voice {

struct CarrierPlan {
    std::string phonemes;   // the carrier in espeak-ng's phoneme notation, inside "[[...]]"
    size_t first_event = 0; // the event where the unit begins
    bool cut_at_vowel = false; // end at the next vowel (a lone consonant) instead of the pause
    bool voiced_stop = false; // opens with the voice bar of b, d or g, kept short
    bool lone_vowel = false; // one vowel alone: kept short, it is never trimmed
    std::string end_at; // when set, end at the first later event of this phoneme instead
};

// The plan for a name, or nothing when the name does not read as sounds.
std::optional<CarrierPlan> plan_unit(std::string_view name);

// Units every voice holds whatever the word list: consonant-vowel pairs,
// consonant-diphthong triples, lone vowels and consonants, nasal vowels and
// nasal diphthongs.
std::set<std::string> standard_inventory();

}
