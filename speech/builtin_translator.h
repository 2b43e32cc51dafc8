// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in translator: Portuguese text to the unit string that the unit synthesiser plays.
#pragma once

#include <string>
#include <string_view>

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

std::string translate_to_phonemes(std::string_view text, const TranslationRules& rules, const ExceptionTable& exceptions);

}
