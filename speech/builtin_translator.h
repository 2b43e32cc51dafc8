// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in translator: Portuguese text to the unit string that the unit synthesiser plays.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace speech {

class ExceptionTable;
class TranslationRules;

// Maps the text to the translator's alphabet: accented letters of
// Windows-1252 (and of the DOS code page 850 in 128..191) become a letter and
// a diacritic mark, "ç" becomes "ss", W and Y next to a letter become u and
// i, controls and unmapped codes become a word break.
std::string prepare_text(std::string_view text);

// Upper-cases the stressed vowel of a lower-case word that has no explicit
// accent. `vowel_count` is the number of vowels of the word as written.
void mark_stress(std::string& word, bool explicitly_accented, int vowel_count);

// A word as the translator takes it from prepared text: lower case, with
// the facts about its spelling that decide its stress.
struct PreparedWord {
    std::string text;
    bool explicitly_accented = false; // a diacritic other than '"' after its first letter
    int vowel_count = 0;
};

// The words of a text in order: each run of letters and diacritic marks
// that begins with a letter, and every other character but the blank as a
// word of its own.
std::vector<PreparedWord> prepare_words(std::string_view text);

// One word's unit string: its exception, its stress, then the rules, or
// letter by letter when it is made of consonants and punctuation only.
std::string translate_word(const PreparedWord& word, const TranslationRules& rules, const ExceptionTable& exceptions);

std::string translate_to_phonemes(std::string_view text, const TranslationRules& rules, const ExceptionTable& exceptions);

}
