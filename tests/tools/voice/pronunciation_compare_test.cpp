// SPDX-License-Identifier: GPL-3.0-or-later
// Our unit strings and espeak-ng's transcriptions in one phoneme sequence:
// where both say the same word the same way, no exception may be needed.
#include "pronunciation_compare.h"

#include <gtest/gtest.h>

namespace {

struct SameWord {
    std::string_view units;
    std::string_view espeak;
};

TEST(PronunciationCompare, UnitsAndEspeakAgreeOnTheSameSounds)
{
    const SameWord cases[] = {
        { "[ k/A^ nn/ t/u]", "k'&~NtU" },         // canto: the closure is part of the nasal vowel
        { "[ t/E^ mm/ p/u]", "t'eImpU" },         // tempo
        { "[ p/O'/ rh/ t/@]", "p'O*@-t&" },       // porta: r closing a syllable
        { "[ m/A/ rh]", "m'ar" },                 // mar
        { "[ k/a^ nn/ t/A/ rh]", "k&~Nt'ar" },    // cantar
        { "[ pR/A/ t/u]", "pR'atU" },             // prato
        { "[ bR/A/ v/u]", "bR'avU" },             // bravo
        { "[ s/a/ hI/ d/@]", "sa'id&" },          // saída: the hiatus mark is no sound
        { "[ b/a/ hU]", "ba'u" },                 // baú
        { "[ m/A/ ll lh/@]", "m'alj&" },          // malha: the hold is part of lh
        { "[ tch/I/ @]", "tS'i;&" },              // tia
    };
    for (const SameWord& word : cases)
        EXPECT_EQ(voice::join_phonemes(voice::normalise_phonemes(voice::phonemes_of_units(word.units))),
                  voice::join_phonemes(voice::normalise_phonemes(voice::phonemes_of_espeak(word.espeak))))
            << word.units;
}

TEST(PronunciationCompare, KeepsApartWhatSoundsDifferent)
{
    const SameWord cases[] = {
        { "[ p/A/ t/u]", "pR'atU" },   // pato is not prato
        { "[ p/O'/ t/@]", "p'O*@-t&" }, // pota is not porta
        { "[ b/A/u]", "ba'u" },        // a diphthong is stressed on its first vowel
        { "[ m/A/ l/@]", "m'alj&" },   // mala is not malha
    };
    for (const SameWord& word : cases)
        EXPECT_NE(voice::join_phonemes(voice::normalise_phonemes(voice::phonemes_of_units(word.units))),
                  voice::join_phonemes(voice::normalise_phonemes(voice::phonemes_of_espeak(word.espeak))))
            << word.units;
}

}
