// SPDX-License-Identifier: GPL-3.0-or-later
// The unit inventory and the carrier phrases the units are cut from.
#include "unit_inventory.h"

#include <array>

namespace voice {

namespace {

struct Sound {
    std::string_view letters; // as the name spells it
    std::string_view phoneme; // espeak-ng's notation
};

// Longest spellings first, so that "TCH" is not read as "T" and "CH". A
// consonant followed by "R" is a cluster, spoken with the tap espeak-ng
// uses after a consonant. "H" opens a vowel in hiatus: the vowel as it
// sounds after another, not the glide of a diphthong. The palatal lateral
// is the "lj" that espeak-ng says inside words.
constexpr std::array consonants = {
    Sound { "TCH", "tS" }, Sound { "DJ", "dZ" }, Sound { "NH", "n^" }, Sound { "LH", "lj" },
    Sound { "RR", "x" }, Sound { "KW", "kw" }, Sound { "GW", "gw" }, Sound { "KS", "ks" },
    Sound { "PR", "pR" }, Sound { "BR", "bR" }, Sound { "TR", "tR" }, Sound { "DR", "dR" },
    Sound { "KR", "kR" }, Sound { "GR", "gR" }, Sound { "FR", "fR" }, Sound { "VR", "vR" },
    Sound { "H", "" }, Sound { "P", "p" }, Sound { "B", "b" }, Sound { "T", "t" },
    Sound { "D", "d" }, Sound { "K", "k" }, Sound { "G", "g" }, Sound { "F", "f" },
    Sound { "V", "v" }, Sound { "S", "s" }, Sound { "Z", "z" }, Sound { "X", "S" },
    Sound { "J", "Z" }, Sound { "M", "m" }, Sound { "N", "n" }, Sound { "L", "l" },
    Sound { "R", "*" },
};

constexpr std::array vowels = {
    Sound { "E'", "E" }, Sound { "O'", "O" }, Sound { "A", "a" }, Sound { "E", "e" },
    Sound { "I", "i" }, Sound { "O", "o" }, Sound { "U", "u" }, Sound { "@", "&" },
};

// A nasal vowel before a consonant, as espeak-ng says it inside words:
// the vowel (only a and u nasalised) and then a long velar closure "N".
constexpr std::array nasal_vowels = {
    Sound { "A", "&~" }, Sound { "E", "eI" }, Sound { "I", "i" }, Sound { "O", "o" },
    Sound { "U", "u~" }, Sound { "@", "&~" },
};

// Names closed by "~" hold the vowel before the mark and perhaps a glide.
constexpr std::array tilde_sounds = {
    Sound { "AW", "&U~" }, Sound { "AY", "&~j" }, Sound { "EY", "e~j" }, Sound { "OY", "o~j" },
    Sound { "UY", "u~j" }, Sound { "A", "&~" }, Sound { "E", "e~" }, Sound { "I", "i~" },
    Sound { "O", "o~" }, Sound { "U", "u~" },
};

constexpr std::array<std::string_view, 31> inventory_consonants = {
    "P", "B", "T", "D", "K", "G", "F", "V", "S", "Z", "X", "J", "M", "N", "L", "R",
    "RR", "NH", "LH", "TCH", "DJ", "KW", "GW", "PR", "BR", "TR", "DR", "KR", "GR", "FR", "VR",
};
constexpr std::array<std::string_view, 8> inventory_vowels = { "A", "E", "E'", "I", "O", "O'", "U", "@" };
constexpr std::array<std::string_view, 11> inventory_diphthongs = {
    "AI", "AU", "EI", "EU", "E'I", "E'U", "OI", "OU", "O'I", "IU", "UI",
};
constexpr std::array<std::string_view, 5> inventory_nasals = { "A", "E", "I", "O", "U" };

bool is_voiced_stop(std::string_view letters)
{
    return letters == "B" || letters == "D" || letters == "G";
}

bool starts_with(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

}

std::optional<CarrierPlan> plan_unit(std::string_view name)
{
    if (name.size() < 2 || name[0] != '$')
        return std::nullopt;
    std::string_view body = name.substr(1);
    CarrierPlan plan;

    if (body == "W" || body == "Y") {
        plan.phonemes = std::string("[[a'a") + (body == "W" ? "w" : "j") + "_a]]";
        plan.first_event = 2;
        return plan;
    }

    // Sounds heard only between two others, cut from between them: the
    // nasal closure after a nasal vowel, the palatal lateral's hold before
    // its release, and "r" closing a syllable (a tap with its short vowel).
    struct Between {
        std::string_view body;
        std::string_view carrier;
        size_t event;
        std::string_view end_at;
    };
    for (const Between& between : { Between { "NN", "[[k'&~Nta]]", 2, "t" }, Between { "MM", "[[t'eImpa]]", 2, "p" },
                                    Between { "LL", "[[aL'a_a]]", 1, "a" }, Between { "RH", "[[p'O*@-ta]]", 2, "t" } }) {
        if (body == between.body) {
            plan.phonemes = between.carrier;
            plan.first_event = between.event;
            plan.end_at = between.end_at;
            return plan;
        }
    }

    bool tilde = body.size() > 3 && body.substr(body.size() - 3) == "TIL";
    bool circumflex = body.size() > 4 && body.substr(body.size() - 4) == "CIRC";
    if (tilde)
        body.remove_suffix(3);
    if (circumflex)
        body.remove_suffix(4);

    std::string onset;
    std::string onset_letters;
    for (const Sound& sound : consonants) {
        if (starts_with(body, sound.letters)) {
            onset = sound.phoneme;
            onset_letters = sound.letters;
            body.remove_prefix(sound.letters.size());
            break;
        }
    }

    std::string nucleus;
    bool reduced = false;
    if (tilde) {
        for (const Sound& sound : tilde_sounds) {
            if (body == sound.letters) {
                nucleus = sound.phoneme;
                break;
            }
        }
        if (nucleus.empty())
            return std::nullopt;
        body = {};
    } else {
        size_t vowel_count = 0;
        while (!body.empty()) {
            bool matched = false;
            for (const Sound& sound : vowels) {
                if (!starts_with(body, sound.letters))
                    continue;
                bool last = body.size() == sound.letters.size();
                std::string phoneme(sound.phoneme);
                // i and u after a vowel close a diphthong with espeak-ng's
                // own glides (aI, aU); the consonants j and w made the
                // diphthong sound like a vowel in hiatus.
                if (vowel_count > 0 && (sound.letters == "I" || sound.letters == "U"))
                    phoneme = sound.letters == "I" ? "I" : "U";
                if (vowel_count == 0 && sound.letters == "@")
                    reduced = true;
                if (circumflex && last) {
                    for (const Sound& nasal : nasal_vowels)
                        if (nasal.letters == sound.letters)
                            phoneme = nasal.phoneme;
                }
                nucleus += phoneme;
                body.remove_prefix(sound.letters.size());
                ++vowel_count;
                matched = true;
                break;
            }
            if (!matched)
                return std::nullopt;
        }
    }

    std::string stress = reduced ? "" : "'";
    // A nasal vowel is heard before its closure, not drawn out before a
    // pause: it is cut from before the closure.
    std::string ending = "_a]]";
    if (circumflex) {
        ending = "Nta]]";
        plan.end_at = "N";
    }
    if (nucleus.empty()) {
        if (onset.empty())
            return std::nullopt;
        plan.phonemes = "[[a" + onset + "'a_a]]";
        plan.first_event = 1;
        plan.cut_at_vowel = true;
        return plan;
    }
    if (onset_letters == "H") {
        plan.phonemes = "[[a" + stress + nucleus + ending;
        plan.first_event = 1;
        return plan;
    }
    if (onset.empty()) {
        plan.phonemes = "[[" + stress + nucleus + ending;
        plan.first_event = 0;
        plan.lone_vowel = name.size() == 2;
        return plan;
    }
    // A syllable is cut from inside a word, before the closure of a d:
    // before a pause espeak-ng draws the vowel out, and the drawn-out
    // syllable made a plain stop sound like a stop and r.
    if (!circumflex && !reduced) {
        ending = "da]]";
        plan.end_at = "d";
    }
    plan.phonemes = "[[a" + onset + stress + nucleus + ending;
    plan.first_event = 1;
    plan.voiced_stop = !reduced && is_voiced_stop(onset_letters);
    return plan;
}

std::set<std::string> standard_inventory()
{
    std::set<std::string> names;
    auto add = [&](std::string name) {
        if (name.size() <= 8)
            names.insert(name);
    };
    for (std::string_view consonant : inventory_consonants) {
        add("$" + std::string(consonant));
        for (std::string_view vowel : inventory_vowels)
            add("$" + std::string(consonant) + std::string(vowel));
        for (std::string_view diphthong : inventory_diphthongs)
            add("$" + std::string(consonant) + std::string(diphthong));
        for (std::string_view nasal : inventory_nasals)
            add("$" + std::string(consonant) + std::string(nasal) + "CIRC");
    }
    for (std::string_view vowel : inventory_vowels)
        add("$" + std::string(vowel));
    for (std::string_view diphthong : inventory_diphthongs)
        add("$" + std::string(diphthong));
    for (std::string_view nasal : inventory_nasals) {
        add("$" + std::string(nasal) + "CIRC");
        add("$" + std::string(nasal) + "TIL");
    }
    for (std::string_view name : { "$NN", "$MM", "$LL", "$RH", "$W", "$Y", "$KS", "$AWTIL", "$AYTIL", "$EYTIL", "$OYTIL", "$UYTIL" })
        add(std::string(name));
    return names;
}

}
