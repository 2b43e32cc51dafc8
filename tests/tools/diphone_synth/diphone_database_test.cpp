// SPDX-License-Identifier: GPL-3.0-or-later
#include "diphone_database.h"

#include "test_voice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using namespace diphone;

namespace {

// Rewrites the checksum so that a deliberately inconsistent payload gets
// past it and the structural checks are what refuse it.
void fix_checksum(std::vector<uint8_t>& bytes)
{
    uint64_t hash = 1469598103934665603ull;
    for (size_t i = 36; i < bytes.size(); ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    for (int i = 0; i < 8; ++i)
        bytes[28 + size_t(i)] = uint8_t(hash >> (8 * i));
}

// The offset of the first diphone's start field: header, description,
// two one-byte name lengths and the names ("_" and "_").
size_t first_start_field(const DiphoneDatabase& database)
{
    return 36 + 2 + database.description().size() + 2 + 2;
}

}

TEST(DiphoneDatabase, SurvivesARoundTrip)
{
    DiphoneDatabase database = diphone_test::make_database();
    std::string error;
    auto bytes = database.serialise();
    auto read = DiphoneDatabase::parse(bytes, error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->size(), database.size());
    EXPECT_EQ(read->natural_pitch(), database.natural_pitch());
    EXPECT_EQ(read->description(), "test voice");
    for (const auto& [key, original] : database.diphones()) {
        const Diphone* copy = read->find(key.first, key.second);
        ASSERT_TRUE(copy) << key.first << "-" << key.second;
        EXPECT_EQ(copy->samples, original.samples);
        EXPECT_EQ(copy->start, original.start);
        EXPECT_EQ(copy->boundary, original.boundary);
        EXPECT_EQ(copy->end, original.end);
        ASSERT_EQ(copy->marks.size(), original.marks.size());
        for (size_t i = 0; i < copy->marks.size(); ++i) {
            EXPECT_EQ(copy->marks[i].position, original.marks[i].position);
            EXPECT_EQ(copy->marks[i].voiced, original.marks[i].voiced);
        }
    }
    EXPECT_FALSE(read->find("s", "i"));
    EXPECT_TRUE(read->has_phoneme("s"));
    EXPECT_FALSE(read->has_phoneme("e"));
}

TEST(DiphoneDatabase, RefusesDamagedFiles)
{
    DiphoneDatabase database = diphone_test::make_database();
    const auto good = database.serialise();
    std::string error;
    auto refused = [&](std::vector<uint8_t> bytes) {
        error.clear();
        bool result = !DiphoneDatabase::parse(bytes, error);
        return result && !error.empty();
    };
    EXPECT_TRUE(refused({}));
    EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + 20)));
    EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.end() - 1)));
    auto longer = good;
    longer.push_back(0);
    EXPECT_TRUE(refused(longer));
    auto flipped = good;
    flipped[good.size() / 2] ^= 0x10;
    EXPECT_TRUE(refused(flipped));
    auto wrong_magic = good;
    wrong_magic[0] = 'X';
    EXPECT_TRUE(refused(wrong_magic));
    auto wrong_rate = good;
    wrong_rate[12] = 0x11; // 16000 -> another rate
    EXPECT_TRUE(refused(wrong_rate));

    // Past the checksum: cut points out of order, a start beyond the samples.
    size_t at = first_start_field(database);
    auto start_past_end = good;
    start_past_end[at + 3] = 0x7f;
    fix_checksum(start_past_end);
    EXPECT_TRUE(refused(start_past_end));
    auto huge_count = good;
    huge_count[at + 12 + 3] = 0xff; // sample count
    fix_checksum(huge_count);
    EXPECT_TRUE(refused(huge_count));
    auto bad_name = good;
    bad_name[36 + 2 + database.description().size() + 1] = '-';
    fix_checksum(bad_name);
    EXPECT_TRUE(refused(bad_name));
    // The untouched bytes still load, so the refusals above were the damage.
    EXPECT_FALSE(refused(good));
}

TEST(DiphoneDatabase, RefusesInvalidDiphones)
{
    DiphoneDatabase database;
    Diphone diphone = diphone_test::make_diphone("a", "s");
    Diphone reversed = diphone;
    reversed.boundary = reversed.end + 1;
    EXPECT_FALSE(database.add(reversed));
    Diphone unsorted = diphone;
    std::swap(unsorted.marks[0], unsorted.marks[1]);
    EXPECT_FALSE(database.add(unsorted));
    Diphone named = diphone;
    named.left = "a b";
    EXPECT_FALSE(database.add(named));
    EXPECT_TRUE(database.add(diphone));
    EXPECT_EQ(database.size(), 1u);
}

TEST(DiphoneDatabase, LoadReportsMissingFiles)
{
    std::string error;
    EXPECT_FALSE(DiphoneDatabase::load("/nonexistent/br4", error));
    EXPECT_FALSE(error.empty());
    std::string path = ::testing::TempDir() + "/diphone_database_test_br4";
    auto bytes = diphone_test::make_database().serialise();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    auto loaded = DiphoneDatabase::load(path, error);
    EXPECT_TRUE(loaded) << error;
    std::remove(path.c_str());
}
