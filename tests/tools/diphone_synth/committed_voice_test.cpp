// SPDX-License-Identifier: GPL-3.0-or-later
// The committed database: complete, consistent with its definitions file,
// and able to meet durations and pitch with real speech.
#include "psola_synthesiser.h"
#include "pitch_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

using namespace diphone;

namespace {

const char* const phoneme_names[] = { "_", "a", "e", "i", "o", "u", "E", "O", "@", "an", "en", "in", "on", "un",
    "w", "y", "wn", "yn", "p", "b", "t", "d", "k", "g", "f", "v", "s", "z", "x", "j", "tx", "dj", "m", "n", "nh",
    "l", "lh", "r", "rr", "r2", "s2" };

const DiphoneDatabase& committed()
{
    static const DiphoneDatabase database = [] {
        std::string error;
        auto loaded = DiphoneDatabase::load(PHONEME_VOICE_DIR "/br4", error);
        if (!loaded)
            ADD_FAILURE() << error;
        return loaded ? std::move(*loaded) : DiphoneDatabase();
    }();
    return database;
}

std::vector<PhonemeLine> lines(const std::vector<std::string>& texts)
{
    std::vector<PhonemeLine> out;
    for (const auto& text : texts)
        out.push_back(parse_phoneme_line(text).phoneme);
    return out;
}

}

TEST(CommittedVoice, HasEveryPairThePhonemesNeed)
{
    const DiphoneDatabase& database = committed();
    ASSERT_GT(database.size(), 1000u);
    const std::set<std::string> vowels = { "a", "e", "i", "o", "u", "E", "O", "@", "an", "en", "in", "on", "un" };
    const std::set<std::string> onsets = { "p", "b", "t", "d", "k", "g", "f", "v", "s", "z", "x", "j", "tx", "dj",
        "m", "n", "nh", "l", "lh", "r", "rr" };
    for (const std::string name : phoneme_names) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(database.has_phoneme(name));
        EXPECT_TRUE(database.find(name, "_"));
        if (name != "r2" && name != "s2") {
            EXPECT_TRUE(database.find("_", name));
        }
        for (const auto& vowel : vowels) {
            EXPECT_TRUE(database.find(vowel, name)) << vowel;
            if (onsets.contains(name)) {
                EXPECT_TRUE(database.find(name, vowel)) << vowel;
            }
        }
    }
    for (const char* first : { "p", "b", "t", "d", "k", "g", "f", "v" })
        for (const char* second : { "r", "l" })
            EXPECT_TRUE(database.find(first, second)) << first << second;
    for (const char* coda : { "r2", "s2" })
        for (const char* next : { "p", "t", "k", "m", "n", "l", "d", "g", "v" })
            EXPECT_TRUE(database.find(coda, next)) << coda << next;
}

TEST(CommittedVoice, DefinitionsFileListsExactlyTheDatabase)
{
    std::ifstream file(PHONEME_VOICE_DIR "/portug.dfn");
    ASSERT_TRUE(file);
    std::set<std::pair<std::string, std::string>> listed;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == ';')
            continue;
        std::istringstream words(line);
        std::string a, b, extra;
        ASSERT_TRUE(words >> a >> b) << line;
        EXPECT_FALSE(words >> extra) << line;
        EXPECT_TRUE(listed.insert({ a, b }).second) << line;
    }
    std::set<std::pair<std::string, std::string>> stored;
    for (const auto& [key, diphone] : committed().diphones())
        stored.insert(key);
    EXPECT_EQ(listed, stored);
}

TEST(CommittedVoice, MeetsDurationsAndPitchWithRealSpeech)
{
    const DiphoneDatabase& database = committed();
    for (const char* vowel : { "a", "e", "i", "o", "u", "E", "O", "an" }) {
        for (double hz : { 90.0, 120.0, 160.0 }) {
            SCOPED_TRACE(std::string(vowel) + " " + std::to_string(hz));
            std::string line = std::string(vowel) + " 400 0 " + std::to_string(hz) + " 100 " + std::to_string(hz);
            auto out = synthesise_phonemes(database, lines({ "_ 50", "p 80", line, "_ 50" }), "_", "_");
            ASSERT_EQ(out.size(), size_t(580 * 16));
            std::vector<int16_t> middle;
            for (size_t i = 250 * 16; i < 450 * 16; ++i)
                middle.push_back(int16_t(std::clamp(std::lround(out[i]), -32768l, 32767l)));
            EXPECT_NEAR(estimate_pitch(middle, database_rate), hz, hz * 0.03);
        }
    }
    // "olá, casa": every phoneme gets its samples, to the sample.
    auto sentence = lines({ "_ 100", "o 70", "l 60", "a 180 20 130 80 110", "_ 150", "k 80", "a 120 50 120", "z 90",
        "@ 110 100 90", "_ 100" });
    double total = 0;
    for (const auto& phoneme : sentence)
        total += phoneme.duration_ms;
    auto out = synthesise_phonemes(database, sentence, "_", "_");
    EXPECT_EQ(out.size(), size_t(total * 16));
    // The pause between the words is quiet next to the words.
    double pause = 0, word = 0;
    for (size_t i = 0; i < 80 * 16; ++i) {
        pause = std::max(pause, double(std::abs(out[(100 + 70 + 60 + 180 + 35) * 16 + i])));
        word = std::max(word, double(std::abs(out[(100 + 70 + 60 + 40) * 16 + i])));
    }
    EXPECT_GT(word, 2000);
    EXPECT_LT(pause, word / 20);
}
