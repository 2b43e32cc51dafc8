// SPDX-License-Identifier: GPL-3.0-or-later
// Puts our unit strings and espeak-ng's transcriptions into one canonical
// phoneme sequence so that they can be compared, and writes a respelling
// that our rules turn back into a given sequence. The exceptions file is
// built from these.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace voice {

// Canonical phonemes: consonants p b t d k g f v s z x j m n l r rr nh lh tch
// dj; vowels a e E i o O u and nasal a~ e~ i~ o~ u~; a stressed vowel has "'"
// in front. Glides are the vowels i and u. "?" marks a spelled letter.
using Phonemes = std::vector<std::string>;

Phonemes phonemes_of_units(std::string_view units);
Phonemes phonemes_of_espeak(std::string_view transcription);

// Evens out differences that are not worth an exception (voicing of s
// before consonants).
Phonemes normalise_phonemes(Phonemes phonemes);

// A respelling in the prepared alphabet (lower case, diacritic marks after
// vowels) whose rules output is the sequence; "accent" puts an explicit
// accent on the stressed vowel. Nothing when a sound has no spelling.
std::optional<std::string> respell_phonemes(const Phonemes& phonemes, bool accent);

std::string join_phonemes(const Phonemes& phonemes);

}
