// SPDX-License-Identifier: GPL-3.0-or-later
// The synthesiser model: unit reading, splitting, names and fallbacks.
#include "unit_lookup_model.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct FakeDatabase {
    std::map<std::string, int> counts;
    voice::SampleCountOf lookup() const
    {
        return [this](std::string_view name) -> std::optional<int> {
            auto found = counts.find(std::string(name));
            if (found == counts.end())
                return std::nullopt;
            return found->second;
        };
    }
};

voice::SampleCountOf no_letters()
{
    return [](std::string_view) -> std::optional<int> { return std::nullopt; };
}

std::vector<std::string> names_of(const voice::UnitLookupModel& model)
{
    std::vector<std::string> names;
    for (const auto& lookup : model.lookups())
        names.push_back(lookup.name);
    return names;
}

TEST(UnitLookupModel, ReadsUnitsSeparatedByBlanks)
{
    EXPECT_EQ(voice::read_units("[ p/a/ t/u]"), (std::vector<std::string> { "pa", "tu" }));
    // "/" is dropped until a unit has nine characters, then it ends one.
    EXPECT_EQ(voice::read_units("[abcdefghi/jk]"), (std::vector<std::string> { "abcdefghi", "jk" }));
    EXPECT_EQ(voice::read_units("[ /_c]"), (std::vector<std::string> { "_c" }));
}

TEST(UnitLookupModel, SplitsNasalDiphthongsAndClusters)
{
    FakeDatabase database;
    voice::UnitLookupModel model(database.lookup(), no_letters(), {});
    model.synthesise("[ n/A~w][ b/e~y][ pra][ ks/i][ muu~y]");
    EXPECT_EQ(names_of(model), (std::vector<std::string> {
                                   "$NACIRC", "$AWTIL", "$BECIRC", "$EYTIL", "$P", "$RA", "$KSI", "$MUUCIRC", "$UYTIL" }));
}

TEST(UnitLookupModel, FallsBackAsTheSynthesiserDoes)
{
    FakeDatabase database;
    database.counts = { { "$TCH", 100 }, { "$ICIRC", 200 }, { "$PE", 1000 }, { "$U", 50 }, { "$ACIRC", 300 }, { "$NN", 80 } };
    voice::UnitLookupModel model(database.lookup(), no_letters(), { .cut = 0, .keep = 0, .between_words = 0 });
    model.synthesise("[ tchi^]");
    EXPECT_EQ(model.samples(), 90 + 200); // the head at 0.9
    EXPECT_TRUE(model.hissed().empty());

    model.reset();
    model.synthesise("[ peu]"); // missing, ends in a vowel: "$PE" at 0.9 then "$U"
    EXPECT_EQ(model.samples(), 900 + 50);

    model.reset();
    model.synthesise("[ A~]"); // "$ATIL" missing: "$ACIRC" at 0.9, then "$NN" at 0.9
    EXPECT_EQ(model.samples(), 270 + 72);

    model.reset();
    model.synthesise("[ o]"); // a short missing name hisses
    EXPECT_EQ(model.hissed(), (std::vector<std::string> { "$O" }));
    EXPECT_EQ(model.samples(), 300);

    model.reset();
    model.synthesise("[ pra]"); // "$P" hisses; "$RA" falls back to "$R" and "$A", which hiss
    EXPECT_EQ(model.hissed(), (std::vector<std::string> { "$P", "$R", "$A" }));

    model.reset();
    model.synthesise("[ tchx]"); // ends in a consonant after splitting: "$TCH" found, "$X" hisses
    EXPECT_EQ(model.hissed(), (std::vector<std::string> { "$X" }));

    model.reset();
    model.synthesise("[ lhxyz]"); // a missing name ending in a consonant is silent
    EXPECT_EQ(model.silent(), (std::vector<std::string> { "$LHX" }));
    EXPECT_EQ(model.hissed(), (std::vector<std::string> { "$Y", "$Z" }));
}

TEST(UnitLookupModel, CutsUnstressedUnitsAndPausesBetweenWords)
{
    FakeDatabase database;
    database.counts = { { "$PA", 1000 }, { "$TA", 600 }, { "$KA", 400 } };
    voice::UnitLookupModel model(database.lookup(), no_letters(), { .cut = 300, .keep = 500, .between_words = 150 });
    model.synthesise("[ pa][ ta][ ka]");
    EXPECT_EQ(model.samples(), 700 + 500 + 400 + 3 * 100);
    model.reset();
    model.synthesise("[ pA]");
    EXPECT_EQ(model.samples(), 1000 + 100);
}

}
