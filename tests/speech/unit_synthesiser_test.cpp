// SPDX-License-Identifier: GPL-3.0-or-later
// The unit synthesiser: index search, unit reading, splitting, lookups and their fallbacks, the buffer.
#include "speech/unit_synthesiser.h"
#include "tests/speech/speech_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using sound_test::Run;
using Runs = std::vector<Run>;

// A database in memory, each unit a run of one value; every played image is kept.
class SynthRig {
public:
    explicit SynthRig(std::vector<speech_test::VoiceUnit> units, std::map<std::string, std::vector<uint8_t>> letters = {})
        : m_letters(std::move(letters))
    {
        std::sort(units.begin(), units.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
        std::vector<uint8_t> index_bytes;
        m_file = std::tmpfile();
        uint32_t offset = 0;
        for (const auto& unit : units) {
            uint8_t record[15] = {};
            record[0] = static_cast<uint8_t>(unit.name.size());
            std::copy(unit.name.begin(), unit.name.end(), record + 1);
            record[9] = static_cast<uint8_t>(unit.samples);
            record[10] = static_cast<uint8_t>(unit.samples >> 8);
            for (int i = 0; i < 4; ++i)
                record[11 + i] = static_cast<uint8_t>(offset >> (8 * i));
            index_bytes.insert(index_bytes.end(), record, record + 15);
            std::vector<uint8_t> samples(unit.samples, static_cast<uint8_t>(unit.value));
            std::fwrite(samples.data(), 1, samples.size(), m_file);
            offset += static_cast<uint32_t>(unit.samples);
        }
        index.load(index_bytes);
        speech::UnitSynthesiser::Sources sources;
        sources.index = &index;
        sources.samples = m_file;
        sources.read_letter = [this](std::string_view name) {
            auto found = m_letters.find(std::string(name));
            return found == m_letters.end() ? std::vector<uint8_t> {} : found->second;
        };
        sources.play_image = [this](std::span<const uint8_t> image) { images.emplace_back(image.begin(), image.end()); };
        synth = std::make_unique<speech::UnitSynthesiser>(sources);
        synth->set_timing({ 0, 0, 0 });
    }
    ~SynthRig() { std::fclose(m_file); }

    // Everything played, header by header checked, as runs.
    Runs heard()
    {
        synth->flush();
        std::vector<uint8_t> samples;
        for (const auto& image : images) {
            EXPECT_EQ(image.size(), 44 + (image[40] | (image[41] << 8) | (image[42] << 16)));
            EXPECT_LE(image.size(), speech::sound_buffer_bytes);
            samples.insert(samples.end(), image.begin() + 44, image.end());
        }
        images.clear();
        return sound_test::runs_of(samples);
    }

    speech::UnitIndex index;
    std::vector<std::vector<uint8_t>> images;
    std::unique_ptr<speech::UnitSynthesiser> synth;

private:
    std::FILE* m_file = nullptr;
    std::map<std::string, std::vector<uint8_t>> m_letters;
};

TEST(UnitIndex, SearchByHalving)
{
    SynthRig rig({ { "$A", 1, 10 }, { "$B", 2, 10 }, { "$PA", 3, 20 }, { "$PE", 4, 30 }, { "$ZZZZZZZ", 5, 40 }, { "_X", 6, 1 } });
    ASSERT_EQ(rig.index.size(), 6u);
    EXPECT_EQ(rig.index.find("$PE")->samples, 30);
    EXPECT_EQ(rig.index.find("$PE")->offset, 40u);
    EXPECT_EQ(rig.index.find("$A")->offset, 0u);
    EXPECT_EQ(rig.index.find("$ZZZZZZZ")->samples, 40);
    EXPECT_TRUE(rig.index.find("_X").has_value());
    EXPECT_FALSE(rig.index.find("$P").has_value());
    EXPECT_FALSE(rig.index.find("$pa").has_value()); // the caller upper-cases
    EXPECT_FALSE(rig.index.find("$ZZZZZZZZ").has_value()); // longer than a record's name
    speech::UnitIndex damaged;
    damaged.load(std::vector<uint8_t>(20, 0xFF)); // one record and a broken tail
    EXPECT_EQ(damaged.size(), 1u);
    EXPECT_FALSE(damaged.find("$A").has_value());
}

TEST(UnitSynthesiser, ReadingUnits)
{
    SynthRig rig({});
    std::string_view units = "[ pa/ ta][ /_,]a/b/c/d/e/f/g/h/i/j/k]x|y z";
    size_t index = 0;
    std::vector<std::string> read;
    std::string ends;
    while (index < units.size()) {
        auto unit = rig.synth->read_unit(units, index);
        read.push_back(unit.unit);
        ends += unit.end ? unit.end : '0';
    }
    EXPECT_EQ(read, (std::vector<std::string> { "", "pa", "ta", "", "_,", "abcdefghi", "jk", "_TRACOy", "z" }));
    EXPECT_EQ(ends, "  ] ]/] 0");
}

TEST(UnitSynthesiser, CutAndKeepOfUnstressedUnits)
{
    SynthRig rig({ { "$PA", 10, 1000 }, { "$TA", 20, 600 }, { "$KA", 30, 400 }, { "$A", 40, 100 } });
    rig.synth->set_timing({ 300, 500, 0 });
    rig.synth->synthesise_phonemes("[pa ta ka a]", false);
    EXPECT_EQ(rig.heard(), (Runs { { 10, 700 }, { 20, 500 }, { 30, 400 }, { 40, 100 } }));
    // The stressed unit plays whole; the units after it are cut again.
    rig.synth->synthesise_phonemes("[pa pA pa]", false);
    EXPECT_EQ(rig.heard(), (Runs { { 10, 700 + 1000 + 700 } }));
}

TEST(UnitSynthesiser, WordGapsAndSignSilences)
{
    SynthRig rig({ { "$PA", 10, 1000 } });
    rig.synth->set_timing({ 0, 0, 150 });
    rig.synth->synthesise_phonemes("[pa][ /_,][pa]", false);
    // 150 is used in whole hundreds; the comma is 4000 samples of silence.
    EXPECT_EQ(rig.heard(), (Runs { { 10, 1000 }, { 128, 100 + 4000 + 100 }, { 10, 1000 }, { 128, 100 } }));
}

TEST(UnitSynthesiser, SplittingRules)
{
    SynthRig rig({ { "$S", 1, 10 }, { "$T", 2, 10 }, { "$RA", 3, 10 }, { "$TRA", 4, 10 }, { "$RR", 5, 10 }, { "$PA", 6, 10 },
                     { "$L", 7, 10 }, { "$A", 8, 10 }, { "$AW", 9, 10 }, { "$NACIRC", 10, 10 }, { "$AWTIL", 11, 10 },
                     { "$DJI", 12, 10 }, { "$P", 13, 10 }, { "$E", 14, 10 }, { "$ES", 15, 10 } },
        { { "_115", sound_test::constant_wave(16, 10) } });
    auto units = [&](std::string_view text) {
        rig.synth->set_stress_state(2);
        rig.synth->speak_unit(text, 1.0);
        return rig.heard();
    };
    EXPECT_EQ(units("stra"), (Runs { { 1, 10 }, { 2, 10 }, { 3, 10 } })); // two consonants: one off, again
    EXPECT_EQ(units("dji"), (Runs { { 12, 10 } })); // "dj" stays whole
    EXPECT_EQ(units("parr"), (Runs { { 6, 10 }, { 5, 10 } }));
    EXPECT_EQ(units("pal"), (Runs { { 6, 10 }, { 7, 10 } }));
    EXPECT_EQ(units("paw"), (Runs { { 13, 6 }, { 9, 10 } })); // the head at 0.6
    EXPECT_EQ(units("nA~w"), (Runs { { 10, 6 }, { 11, 10 } }));
    EXPECT_EQ(units("es"), (Runs { { 14, 7 }, { 1, 10 } })); // the rest at 0.7, then s
    EXPECT_EQ(units("_s"), (Runs { { 16, 10 } })); // a letter recording
}

TEST(UnitSynthesiser, LookupFallbacks)
{
    SynthRig rig({ { "$P", 1, 100 }, { "$A", 2, 100 }, { "$ACIRC", 3, 100 }, { "$NN", 4, 100 }, { "$ICIRC", 5, 100 },
        { "$I", 6, 100 } });
    rig.synth->set_timing({ 20, 0, 0 });
    // Missing, ending in a vowel: the head at 0.9 (it falls back again), then the vowel.
    rig.synth->set_stress_state(2);
    rig.synth->look_up("$PA", 1.0);
    EXPECT_EQ(rig.heard(), (Runs { { 1, 90 }, { 2, 100 } }));
    // Missing, ending in a consonant: nothing at all.
    rig.synth->look_up("$PTK", 1.0);
    EXPECT_TRUE(rig.heard().empty());
    // Missing nasal: the vowel with CIRC, stressed, at 0.9, then "$NN" at 0.9, unstressed.
    rig.synth->set_stress_state(0);
    rig.synth->look_up("$ATIL", 1.0);
    EXPECT_EQ(rig.heard(), (Runs { { 3, 90 }, { 4, 72 } }));
    // i and u keep their own name without CIRC.
    rig.synth->look_up("$ITIL", 1.0);
    EXPECT_EQ(rig.heard(), (Runs { { 6, 90 }, { 4, 72 } }));
    // Missing CIRC of 7 or more: the head at 0.9, then "$" and the CIRC part.
    rig.synth->set_stress_state(2);
    rig.synth->look_up("$PICIRC", 1.0);
    EXPECT_EQ(rig.heard(), (Runs { { 1, 90 }, { 5, 100 } }));
    // Missing and short: 300 samples of hiss between 88 and 167.
    rig.synth->look_up("$O", 1.0);
    rig.synth->flush();
    ASSERT_EQ(rig.images.size(), 1u);
    ASSERT_EQ(rig.images[0].size(), 344u);
    EXPECT_TRUE(std::all_of(rig.images[0].begin() + 44, rig.images[0].end(), [](uint8_t v) { return v >= 88 && v <= 167; }));
    EXPECT_GT(sound_test::runs_of({ rig.images[0].begin() + 44, rig.images[0].end() }).size(), 100u);
}

TEST(UnitSynthesiser, NamesOfCircumflexTildeAndStress)
{
    SynthRig rig({ { "$PACIRC", 1, 100 }, { "$O", 2, 100 }, { "$BOTIL", 3, 100 }, { "$PA", 4, 100 } });
    rig.synth->set_timing({ 50, 0, 0 });
    rig.synth->set_stress_state(1);
    rig.synth->speak_name("pa^o", 1.0);
    EXPECT_EQ(rig.heard(), (Runs { { 1, 50 }, { 2, 100 } })); // one-letter names are never cut
    rig.synth->speak_name("pA", 1.0);
    EXPECT_EQ(rig.heard(), (Runs { { 4, 100 } }));
    EXPECT_EQ(rig.synth->stress_state(), 0);
    rig.synth->speak_name("bo~", 1.0);
    EXPECT_EQ(rig.heard(), (Runs { { 3, 50 } }));
}

TEST(UnitSynthesiser, TheBufferIsPlayedInPiecesAndNeverOverrun)
{
    SynthRig rig({ { "$PA", 10, 30000 }, { "$TA", 20, 65535 } });
    rig.synth->synthesise_phonemes("[pa pa pa]", false);
    ASSERT_EQ(rig.images.size(), 2u); // the third unit would not fit
    EXPECT_EQ(rig.images[0].size(), 44u + 60000);
    EXPECT_EQ(rig.heard(), (Runs { { 10, 90000 } }));
    rig.synth->synthesise_phonemes("[ta]", false);
    EXPECT_EQ(rig.images.size(), 1u);
    EXPECT_EQ(rig.images[0].size(), speech::sound_buffer_bytes - 1);
}

TEST(UnitSynthesiser, LetterRecordingsComeFromTheirDataChunk)
{
    auto wave = sound_test::constant_wave(77, 50);
    // A chunk before "data" is skipped.
    std::vector<uint8_t> with_list(wave.begin(), wave.begin() + 36);
    const uint8_t list[] = { 'L', 'I', 'S', 'T', 4, 0, 0, 0, 1, 2, 3, 4 };
    with_list.insert(with_list.end(), list, list + sizeof list);
    with_list.insert(with_list.end(), wave.begin() + 36, wave.end());
    EXPECT_EQ(speech::letter_samples(with_list).size(), 50u);
    EXPECT_TRUE(speech::letter_samples(std::vector<uint8_t>(10, 0)).empty());
    SynthRig rig({}, { { "_84", with_list } });
    rig.synth->synthesise_phonemes("[|]", false); // "_TRACO": the letter T
    EXPECT_EQ(rig.heard(), (Runs { { 77, 50 } }));
}

}
