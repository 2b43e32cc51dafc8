// SPDX-License-Identifier: GPL-3.0-or-later
// How unit names are read back into sounds and the carriers they are cut from.
#include "unit_inventory.h"

#include <gtest/gtest.h>

namespace {

struct PlanCase {
    std::string_view name;
    std::string_view carrier;
    size_t first_event;
    std::string_view end_at;
    bool voiced_stop;
};

TEST(UnitInventory, PlansTheCarrierOfEachKindOfName)
{
    const PlanCase cases[] = {
        // A syllable is cut from inside a word, before the closure of a d,
        // not drawn out before a pause; b, d and g open with a voice bar.
        { "$PA", "[[ap'ada]]", 1, "d", false },
        { "$MA", "[[am'ada]]", 1, "d", false },
        { "$BA", "[[ab'ada]]", 1, "d", true },
        { "$DA", "[[ad'ada]]", 1, "d", true },
        // A glide closes a diphthong as espeak-ng's own diphthongs do.
        { "$GAU", "[[ag'aUda]]", 1, "d", true },
        { "$PEI", "[[ap'eIda]]", 1, "d", false },
        // A final unstressed a and a lone consonant still end at a pause;
        // neither opens a word, so their closure is kept whole.
        { "$B@", "[[ab&_a]]", 1, "", false },
        { "$G", "[[ag'a_a]]", 1, "", false },
        // A consonant and r are one onset.
        { "$PRA", "[[apR'ada]]", 1, "d", false },
        { "$BRE'", "[[abR'Eda]]", 1, "d", false },
        { "$FRU", "[[afR'uda]]", 1, "d", false },
        { "$TRACIRC", "[[atR'&~Nta]]", 1, "N", false },
        // A nasal vowel is cut from before its closure.
        { "$ACIRC", "[['&~Nta]]", 0, "N", false },
        { "$NOCIRC", "[[an'oNta]]", 1, "N", false },
        { "$DECIRC", "[[ad'eINta]]", 1, "N", true },
        // The palatal lateral as espeak-ng says it inside words.
        { "$LHA", "[[alj'ada]]", 1, "d", false },
        // A vowel in hiatus is cut from after another vowel, before a pause.
        { "$HI", "[[a'i_a]]", 1, "", false },
        { "$HU", "[[a'u_a]]", 1, "", false },
        // Sounds heard only between two others end at the next event.
        { "$NN", "[[k'&~Nta]]", 2, "t", false },
        { "$MM", "[[t'eImpa]]", 2, "p", false },
        { "$LL", "[[aL'a_a]]", 1, "a", false },
        { "$RH", "[[p'O*@-ta]]", 2, "t", false },
    };
    for (const PlanCase& expected : cases) {
        auto plan = voice::plan_unit(expected.name);
        ASSERT_TRUE(plan) << expected.name;
        EXPECT_EQ(plan->phonemes, expected.carrier) << expected.name;
        EXPECT_EQ(plan->first_event, expected.first_event) << expected.name;
        EXPECT_EQ(plan->end_at, expected.end_at) << expected.name;
        EXPECT_EQ(plan->voiced_stop, expected.voiced_stop) << expected.name;
    }
}

TEST(UnitInventory, RefusesNamesThatAreNotSounds)
{
    // A lone hiatus mark has no vowel; an r cluster needs a vowel after it.
    for (std::string_view name : { "$H", "$", "PA", "$Q", "$PRQ" })
        EXPECT_FALSE(voice::plan_unit(name)) << name;
}

TEST(UnitInventory, StandardInventoryHoldsClustersAndClosures)
{
    auto names = voice::standard_inventory();
    for (std::string_view name : { "$PRA", "$GRO'", "$DRI", "$VRE", "$KRU", "$TRACIRC", "$NN", "$MM", "$LL", "$RH" })
        EXPECT_TRUE(names.count(std::string(name))) << name;
    for (const std::string& name : names) {
        EXPECT_LE(name.size(), 8u) << name;
        EXPECT_TRUE(voice::plan_unit(name)) << name;
    }
}

}
