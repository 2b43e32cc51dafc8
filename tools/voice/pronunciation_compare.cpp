// SPDX-License-Identifier: GPL-3.0-or-later
// Canonical phoneme sequences and respellings.
#include "pronunciation_compare.h"

#include <array>

namespace voice {

namespace {

bool starts_with(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

std::string_view base_of(std::string_view symbol) { return starts_with(symbol, "'") ? symbol.substr(1) : symbol; }

bool is_vowel_symbol(std::string_view symbol)
{
    std::string_view base = base_of(symbol);
    for (std::string_view vowel : { "a", "e", "E", "i", "o", "O", "u", "a~", "e~", "i~", "o~", "u~" })
        if (base == vowel)
            return true;
    return false;
}

bool is_front(std::string_view symbol)
{
    std::string_view base = base_of(symbol);
    return base == "e" || base == "E" || base == "i" || base == "e~" || base == "i~";
}

struct Spelling {
    std::string_view text;
    std::array<std::string_view, 2> symbols;
};

// espeak-ng's Brazilian phoneme names, longest first.
constexpr std::array espeak_spellings = {
    Spelling { "&U~", { "a~", "u" } }, Spelling { "&~j", { "a~", "i" } }, Spelling { "&~y", { "a~", "i" } },
    Spelling { "o~j", { "o~", "i" } }, Spelling { "u~j", { "u~", "i" } }, Spelling { "u~N", { "u~", "" } },
    Spelling { "&~N", { "a~", "" } }, Spelling { "eIN", { "e~", "" } }, Spelling { "eIm", { "e~", "" } }, Spelling { "*@", { "rr", "" } },
    Spelling { "i;", { "i", "" } }, Spelling { "iN", { "i~", "" } }, Spelling { "oN", { "o~", "" } },
    Spelling { "uN", { "u~", "" } }, Spelling { "&~", { "a~", "" } }, Spelling { "e~", { "e~", "" } },
    Spelling { "i~", { "i~", "" } }, Spelling { "o~", { "o~", "" } }, Spelling { "u~", { "u~", "" } },
    Spelling { "tS", { "tch", "" } }, Spelling { "dZ", { "dj", "" } }, Spelling { "n^", { "nh", "" } },
    Spelling { "lj", { "lh", "" } }, Spelling { "ks", { "k", "s" } }, Spelling { "L", { "lh", "" } },
    Spelling { "*", { "r", "" } }, Spelling { "R", { "r", "" } }, Spelling { "x", { "rr", "" } },
    Spelling { "r", { "rr", "" } }, Spelling { "h", { "rr", "" } }, Spelling { "S", { "x", "" } },
    Spelling { "Z", { "j", "" } }, Spelling { "I", { "i", "" } }, Spelling { "U", { "u", "" } },
    Spelling { "y", { "i", "" } }, Spelling { "j", { "i", "" } }, Spelling { "w", { "u", "" } },
    Spelling { "&", { "a", "" } }, Spelling { "E", { "E", "" } }, Spelling { "O", { "O", "" } },
    Spelling { "a", { "a", "" } }, Spelling { "e", { "e", "" } }, Spelling { "i", { "i", "" } },
    Spelling { "o", { "o", "" } }, Spelling { "u", { "u", "" } }, Spelling { "p", { "p", "" } },
    Spelling { "b", { "b", "" } }, Spelling { "t", { "t", "" } }, Spelling { "d", { "d", "" } },
    Spelling { "k", { "k", "" } }, Spelling { "g", { "g", "" } }, Spelling { "f", { "f", "" } },
    Spelling { "v", { "v", "" } }, Spelling { "s", { "s", "" } }, Spelling { "z", { "z", "" } },
    Spelling { "m", { "m", "" } }, Spelling { "n", { "n", "" } }, Spelling { "l", { "l", "" } },
};

// Our unit alphabet, longest first; capitals (stress) are lowered first.
// "rh" is the r that closes a syllable, "nn" and "mm" the closure after a
// nasal vowel (part of the vowel, as in espeak-ng's "&~N"), "ll" the hold
// of the palatal lateral (part of "lh"); the "h" that
// opens a vowel in hiatus matches nothing and is passed over.
constexpr std::array unit_spellings = {
    Spelling { "a~w", { "a~", "u" } }, Spelling { "a~y", { "a~", "i" } }, Spelling { "e~y", { "e~", "i" } },
    Spelling { "o~y", { "o~", "i" } }, Spelling { "u~y", { "u~", "i" } }, Spelling { "tch", { "tch", "" } },
    Spelling { "e'", { "E", "" } }, Spelling { "o'", { "O", "" } }, Spelling { "a^", { "a~", "" } },
    Spelling { "e^", { "e~", "" } }, Spelling { "i^", { "i~", "" } }, Spelling { "o^", { "o~", "" } },
    Spelling { "u^", { "u~", "" } }, Spelling { "dj", { "dj", "" } }, Spelling { "nh", { "nh", "" } },
    Spelling { "lh", { "lh", "" } }, Spelling { "rr", { "rr", "" } }, Spelling { "rh", { "rr", "" } },
    Spelling { "nn", { "", "" } }, Spelling { "mm", { "", "" } }, Spelling { "ll", { "", "" } }, Spelling { "kw", { "k", "u" } },
    Spelling { "gw", { "g", "u" } }, Spelling { "ks", { "k", "s" } }, Spelling { "@", { "a", "" } },
    Spelling { "w", { "u", "" } }, Spelling { "y", { "i", "" } },
    Spelling { "a", { "a", "" } }, Spelling { "e", { "e", "" } }, Spelling { "i", { "i", "" } },
    Spelling { "o", { "o", "" } }, Spelling { "u", { "u", "" } }, Spelling { "p", { "p", "" } },
    Spelling { "b", { "b", "" } }, Spelling { "t", { "t", "" } }, Spelling { "d", { "d", "" } },
    Spelling { "k", { "k", "" } }, Spelling { "g", { "g", "" } }, Spelling { "f", { "f", "" } },
    Spelling { "v", { "v", "" } }, Spelling { "s", { "s", "" } }, Spelling { "z", { "z", "" } },
    Spelling { "x", { "x", "" } }, Spelling { "j", { "j", "" } }, Spelling { "m", { "m", "" } },
    Spelling { "n", { "n", "" } }, Spelling { "l", { "l", "" } }, Spelling { "r", { "r", "" } },
};

template<typename Table>
void append_spelled(Phonemes& out, std::string_view text, const std::vector<bool>& stressed_at, const Table& table)
{
    size_t i = 0;
    bool pending_stress = false;
    while (i < text.size()) {
        if (text[i] == '\'') {
            pending_stress = true;
            ++i;
            continue;
        }
        bool matched = false;
        for (const Spelling& spelling : table) {
            if (!starts_with(text.substr(i), spelling.text))
                continue;
            bool stress = pending_stress || (i < stressed_at.size() && stressed_at[i]);
            for (std::string_view symbol : spelling.symbols) {
                if (symbol.empty())
                    continue;
                if (stress && is_vowel_symbol(symbol)) {
                    out.push_back("'" + std::string(symbol));
                    stress = false;
                    pending_stress = false;
                } else {
                    out.emplace_back(symbol);
                }
            }
            i += spelling.text.size();
            matched = true;
            break;
        }
        if (!matched)
            ++i;
    }
}

}

Phonemes phonemes_of_units(std::string_view units)
{
    std::string letters;
    std::vector<bool> stressed;
    Phonemes out;
    for (size_t i = 0; i < units.size(); ++i) {
        char c = units[i];
        if (c == '_') {
            out.push_back("?");
            ++i;
            continue;
        }
        if (c == '[' || c == ']' || c == ' ' || c == '/' || c == '|')
            continue;
        bool capital = c >= 'A' && c <= 'Z';
        letters += capital ? char(c + 32) : c;
        stressed.push_back(capital);
    }
    append_spelled(out, letters, stressed, unit_spellings);
    return out;
}

Phonemes phonemes_of_espeak(std::string_view transcription)
{
    // Secondary stress, syllable marks and lengths are not compared; a lone
    // "N" (nasal closure after a nasal vowel) matches no spelling and is
    // passed over.
    std::string restored;
    for (size_t i = 0; i < transcription.size(); ++i) {
        char c = transcription[i];
        if (c == ',' || c == '-' || c == '#' || c == ' ' || c == '\n' || c == ':')
            continue;
        restored += c;
    }
    Phonemes out;
    append_spelled(out, restored, {}, espeak_spellings);
    // Diphthong "eIN" ends a word as e~ followed by the glide.
    Phonemes fixed;
    for (size_t i = 0; i < out.size(); ++i) {
        fixed.push_back(out[i]);
        bool last = i + 1 == out.size() || (i + 2 == out.size() && (out[i + 1] == "s" || out[i + 1] == "z"));
        if (base_of(out[i]) == "e~" && last)
            fixed.push_back("i");
    }
    return fixed;
}

Phonemes normalise_phonemes(Phonemes phonemes)
{
    Phonemes out;
    for (size_t i = 0; i < phonemes.size(); ++i) {
        bool before_consonant_or_end = i + 1 == phonemes.size() || !is_vowel_symbol(phonemes[i + 1]);
        bool after_nasal = !out.empty() && base_of(out.back()).size() == 2 && base_of(out.back())[1] == '~';
        if (phonemes[i] == "z" && before_consonant_or_end)
            out.push_back("s");
        else if (phonemes[i] == "l" && before_consonant_or_end && !out.empty() && is_vowel_symbol(out.back()))
            out.push_back("u");
        else if ((phonemes[i] == "m" || phonemes[i] == "n") && before_consonant_or_end && i + 1 < phonemes.size()
                 && !out.empty() && is_vowel_symbol(out.back())) {
            // A vowel closed by m or n before a consonant is a nasal vowel,
            // however the transcription writes it.
            if (!after_nasal) {
                std::string& vowel = out.back();
                bool stressed = starts_with(vowel, "'");
                std::string plain(base_of(vowel));
                if (plain == "E" || plain == "O")
                    plain = char(plain[0] + 32);
                vowel = (stressed ? "'" : "") + plain + "~";
            }
        }
        else
            out.push_back(phonemes[i]);
    }
    return out;
}

std::string join_phonemes(const Phonemes& phonemes)
{
    std::string out;
    for (const std::string& symbol : phonemes) {
        if (!out.empty())
            out += ' ';
        out += symbol;
    }
    return out;
}

std::optional<std::string> respell_phonemes(const Phonemes& p, bool accent)
{
    std::string out;
    size_t n = p.size();
    auto base = [&](size_t i) { return i < n ? base_of(p[i]) : std::string_view(); };
    auto vowel = [&](size_t i) { return i < n && is_vowel_symbol(p[i]); };
    // The last vowel before the end (or a final s) is where Portuguese
    // spelling writes e and o for the sounds i and u.
    auto word_final = [&](size_t i) { return i + 1 == n || (i + 2 == n && (base(i + 1) == "s" || base(i + 1) == "z")); };
    for (size_t i = 0; i < n; ++i) {
        std::string_view symbol = base(i);
        bool stressed = starts_with(p[i], "'");
        if (symbol == "?")
            return std::nullopt;
        if (is_vowel_symbol(symbol)) {
            bool after_vowel = i > 0 && vowel(i - 1);
            std::string spelled;
            if (symbol == "a") spelled = stressed && accent ? "a'" : "a";
            else if (symbol == "e") spelled = stressed && accent ? "e^" : "e";
            else if (symbol == "E") spelled = "e'";
            else if (symbol == "o") spelled = stressed && accent ? "o^" : "o";
            else if (symbol == "O") spelled = "o'";
            else if (symbol == "i") spelled = (!stressed && !after_vowel && word_final(i) && i > 0) ? "e" : (stressed && accent ? "i'" : "i");
            else if (symbol == "u") spelled = (!stressed && !after_vowel && word_final(i) && i > 0) ? "o" : (stressed && accent ? "u'" : "u");
            else if (symbol == "a~") {
                if (base(i + 1) == "u" && !vowel(i + 2)) { spelled = "a~o"; ++i; }
                else if (base(i + 1) == "i" && !vowel(i + 2)) { spelled = "a~e"; ++i; }
                else spelled = "a^";
            } else if (symbol == "o~" && base(i + 1) == "i" && !vowel(i + 2)) {
                spelled = "o~e";
                ++i;
            } else {
                char letter = symbol[0];
                if (symbol == "e~" && base(i + 1) == "i" && word_final(i + 1)) {
                    spelled = "em";
                    ++i;
                } else if (vowel(i + 1)) {
                    return std::nullopt;
                } else {
                    spelled = std::string(1, letter) + (i + 1 == n ? "m" : "n");
                }
            }
            out += spelled;
            continue;
        }
        std::string_view next = base(i + 1);
        if (symbol == "k" || symbol == "g") {
            bool glide = next == "u" && vowel(i + 2) && !starts_with(p[i + 1], "'");
            std::string letter = symbol == "k" ? "qu" : "gu";
            if (glide) {
                out += is_front(p[i + 2]) ? letter + "\"" : letter;
                ++i;
            } else if (is_front(next)) {
                out += letter;
            } else {
                out += symbol == "k" ? "c" : "g";
            }
        } else if (symbol == "s") {
            out += (i > 0 && vowel(i - 1) && vowel(i + 1)) ? "ss" : "s";
        } else if (symbol == "x") {
            out += "ch";
        } else if (symbol == "rr") {
            out += (i > 0 && vowel(i - 1) && vowel(i + 1)) ? "rr" : "r";
        } else if (symbol == "tch") {
            out += base_of(next) == "i" ? "t" : "tch";
        } else if (symbol == "dj") {
            out += base_of(next) == "i" ? "d" : "dj";
        } else if ((symbol == "t" || symbol == "d") && base_of(next) == "i") {
            return std::nullopt;
        } else {
            out += symbol;
        }
    }
    return out;
}

}
