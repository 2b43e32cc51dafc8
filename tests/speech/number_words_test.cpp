// SPDX-License-Identifier: GPL-3.0-or-later
// Number words and the names of their recordings, times and dates.
#include "speech/number_words.h"
#include "speech/recorded_words.h"
#include "speech/speech_client.h"
#include "tests/interpreter/case_table.h"

#include <gtest/gtest.h>

namespace {

using speech::Gender;
using Names = std::vector<std::string>;

TEST(NumberWords, TableOfNumbers)
{
    auto cases = test_cases::read_case_table("number_words_cases.txt");
    ASSERT_GT(cases.size(), 20u);
    for (const auto& line : cases) {
        ASSERT_EQ(line.fields.size(), 2u) << "line " << line.number;
        EXPECT_EQ(speech::number_to_words(std::stoull(line.fields[0])), line.fields[1]) << "line " << line.number;
    }
}

TEST(NumberWords, SoundNamesAreCutToEightCharactersWithoutTildes)
{
    EXPECT_EQ(speech::number_sound_names("dezessete", Gender::Masculine), Names({ "_dezeset" }));
    EXPECT_EQ(speech::number_sound_names("quatrocentos e um", Gender::Masculine), Names({ "_quatroc", "_e", "_um" }));
    EXPECT_EQ(speech::number_sound_names(speech::number_to_words(1000000), Gender::Masculine), Names({ "_um", "_milhao" }));
    EXPECT_EQ(speech::number_sound_names(speech::number_to_words(3000000), Gender::Masculine), Names({ "_tres", "_milhoes" }));
}

TEST(NumberWords, FeminineChangesOnlyTheLastWord)
{
    EXPECT_EQ(speech::number_sound_names("um", Gender::Feminine), Names({ "_uma" }));
    EXPECT_EQ(speech::number_sound_names("vinte e dois", Gender::Feminine), Names({ "_vinte", "_e", "_duas" }));
    EXPECT_EQ(speech::number_sound_names("dois mil e um", Gender::Feminine), Names({ "_dois", "_mil", "_e", "_uma" }));
    EXPECT_EQ(speech::number_sound_names("doze", Gender::Feminine), Names({ "_doze" }));
}

TEST(NumberWords, TimeNames)
{
    EXPECT_EQ(speech::time_sound_names(1, 1), Names({ "#fum", "_hora", "#um", "_minuto" }));
    EXPECT_EQ(speech::time_sound_names(2, 0), Names({ "#fdois", "_horas" }));
    EXPECT_EQ(speech::time_sound_names(9, 30), Names({ "#fnove", "_horas", "#trinta", "_minutos" }));
}

TEST(NumberWords, WeekdaysOfKnownDates)
{
    EXPECT_EQ(speech::weekday_of(1, 1, 1970), 4);
    EXPECT_EQ(speech::weekday_of(15, 3, 2024), 5);
    EXPECT_EQ(speech::weekday_of(29, 2, 2000), 2);
    EXPECT_EQ(speech::weekday_of(31, 12, 1999), 5);
    EXPECT_EQ(speech::weekday_of(7, 9, 1822), 6);
}

TEST(NumberWords, DateNames)
{
    EXPECT_EQ(speech::date_sound_names(1, 3, 2024),
        Names({ "_Sexta", "_primeir", "_de", "_Marco", "_de", "#dois mil ", "_e", "#vinte e quatro" }));
    EXPECT_EQ(speech::date_sound_names(25, 12, 1999),
        Names({ "_Sabado", "#vinte e cinco", "_de", "_Dezembr", "_de", "#noventa e nove" }));
    EXPECT_EQ(speech::date_sound_names(2, 2, 2000), Names({ "_Quarta", "#dois", "_de", "_Feverei", "_de", "#dois mil " }));
    // Past this century the year is read whole instead of as "dois mil e".
    EXPECT_EQ(speech::date_sound_names(2, 1, 2100).back(), "#dois mil e cem");
}

}
