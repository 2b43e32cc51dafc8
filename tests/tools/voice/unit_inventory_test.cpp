// SPDX-License-Identifier: GPL-3.0-or-later
// How unit names are read back into sounds and the carriers they are cut from.
#include "unit_inventory.h"

#include <gtest/gtest.h>

namespace {

struct PlanCase {
    std::string_view name;
    std::string_view carrier;
    size_t first_event;
    bool one_event;
    bool starts_with_stop;
};

TEST(UnitInventory, PlansTheCarrierOfEachKindOfName)
{
    const PlanCase cases[] = {
        { "$PA", "[[ap'a_a]]", 1, false, true },
        { "$MA", "[[am'a_a]]", 1, false, false },
        // A consonant and r are one onset, cut with the closure of the stop.
        { "$PRA", "[[apR'a_a]]", 1, false, true },
        { "$BRE'", "[[abR'E_a]]", 1, false, true },
        { "$FRU", "[[afR'u_a]]", 1, false, false },
        { "$TRACIRC", "[[atR'&~_a]]", 1, false, true },
        // The palatal lateral as espeak-ng says it inside words.
        { "$LHA", "[[alj'a_a]]", 1, false, false },
        // A vowel in hiatus is cut from after another vowel.
        { "$HI", "[[a'i_a]]", 1, false, false },
        { "$HU", "[[a'u_a]]", 1, false, false },
        // Sounds heard only between two others end at the next event.
        { "$NN", "[[k'&~nta]]", 2, true, false },
        { "$MM", "[[k'&~mpa]]", 2, true, false },
        { "$RH", "[[p'O*@-ta]]", 2, true, false },
    };
    for (const PlanCase& expected : cases) {
        auto plan = voice::plan_unit(expected.name);
        ASSERT_TRUE(plan) << expected.name;
        EXPECT_EQ(plan->phonemes, expected.carrier) << expected.name;
        EXPECT_EQ(plan->first_event, expected.first_event) << expected.name;
        EXPECT_EQ(plan->one_event, expected.one_event) << expected.name;
        EXPECT_EQ(plan->starts_with_stop, expected.starts_with_stop) << expected.name;
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
    for (std::string_view name : { "$PRA", "$GRO'", "$DRI", "$VRE", "$KRU", "$TRACIRC", "$NN", "$MM", "$RH" })
        EXPECT_TRUE(names.count(std::string(name))) << name;
    for (const std::string& name : names) {
        EXPECT_LE(name.size(), 8u) << name;
        EXPECT_TRUE(voice::plan_unit(name)) << name;
    }
}

}
