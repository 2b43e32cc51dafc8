// SPDX-License-Identifier: GPL-3.0-or-later
#include "psola_synthesiser.h"

#include "test_voice.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace diphone;

namespace {

std::vector<PhonemeLine> lines(std::initializer_list<const char*> texts)
{
    std::vector<PhonemeLine> out;
    for (const char* text : texts) {
        ParsedLine parsed = parse_phoneme_line(text);
        EXPECT_EQ(parsed.kind, LineKind::Phoneme) << text;
        out.push_back(parsed.phoneme);
    }
    return out;
}

// The pitch of out[from_ms, to_ms).
double pitch_between(const std::vector<float>& out, double from_ms, double to_ms)
{
    auto samples = diphone_test::to_samples(out);
    size_t from = size_t(from_ms * 16), to = std::min(samples.size(), size_t(to_ms * 16));
    return estimate_pitch(std::span<const int16_t>(samples).subspan(from, to - from), database_rate);
}

// The span of 10 ms frames louder than half the loudest, in ms.
double sounding_ms(const std::vector<float>& out)
{
    auto levels = diphone_test::frame_levels(out);
    double loudest = *std::max_element(levels.begin(), levels.end());
    auto first = std::find_if(levels.begin(), levels.end(), [&](double l) { return l > loudest / 2; });
    auto last = std::find_if(levels.rbegin(), levels.rend(), [&](double l) { return l > loudest / 2; });
    return 10.0 * double(levels.rend() - last - (first - levels.begin()));
}

}

TEST(PsolaSynthesiser, MeetsRequestedDurations)
{
    auto database = diphone_test::make_database();
    struct Case {
        std::vector<PhonemeLine> phonemes;
        double sounding_ms;
    };
    const Case cases[] = {
        { lines({ "_ 100", "a 300", "_ 100" }), 300 },
        { lines({ "_ 100", "a 60", "_ 100" }), 60 },  // shorter than the source
        { lines({ "_ 50", "a 800", "_ 50" }), 800 },  // far longer
        { lines({ "_ 80", "a 150", "i 150", "_ 80" }), 300 },
        { lines({ "_ 80", "a 200 0 90 100 90", "_ 80" }), 200 },   // lower pitch
        { lines({ "_ 80", "a 200 0 200 100 200", "_ 80" }), 200 }, // higher pitch
    };
    for (const Case& test : cases) {
        double total_ms = 0;
        for (const auto& phoneme : test.phonemes)
            total_ms += phoneme.duration_ms;
        SCOPED_TRACE(total_ms);
        auto out = synthesise_phonemes(database, test.phonemes, "_", "_");
        EXPECT_NEAR(double(out.size()), total_ms * 16, double(test.phonemes.size()));
        EXPECT_NEAR(sounding_ms(out), test.sounding_ms, std::max(test.sounding_ms * 0.05, 10.0));
    }
}

TEST(PsolaSynthesiser, ReachesTheRequestedPitchOnASteadyVowel)
{
    auto database = diphone_test::make_database();
    for (double hz : { 80.0, 100.0, 120.0, 150.0, 200.0 }) {
        SCOPED_TRACE(hz);
        std::string line = "a 400 0 " + std::to_string(hz) + " 100 " + std::to_string(hz);
        auto out = synthesise_phonemes(database, lines({ "_ 50", line.c_str(), "_ 50" }), "_", "_");
        EXPECT_NEAR(pitch_between(out, 150, 350), hz, hz * 0.03);
    }
}

// Each grain keeps the source's pulse at its own strength, whatever the
// pitch: more or fewer pulses a second, not louder or softer ones.
TEST(PsolaSynthesiser, KeepsThePulsesStrengthWhenThePitchMoves)
{
    auto database = diphone_test::make_database();
    auto peak_at = [&](double hz) {
        std::string line = "a 400 0 " + std::to_string(hz) + " 100 " + std::to_string(hz);
        auto out = synthesise_phonemes(database, lines({ line.c_str() }), "a", "a");
        // The median of the 20 ms frames' peaks in the steady middle.
        std::vector<float> peaks;
        for (size_t at = 100 * 16; at < 300 * 16; at += 320)
            peaks.push_back(*std::max_element(out.begin() + long(at), out.begin() + long(at + 320)));
        std::nth_element(peaks.begin(), peaks.begin() + long(peaks.size() / 2), peaks.end());
        return double(peaks[peaks.size() / 2]);
    };
    double natural = peak_at(diphone_test::source_pitch);
    ASSERT_GT(natural, 2000);
    for (double hz : { 70.0, 90.0, 150.0, 200.0 }) {
        SCOPED_TRACE(hz);
        EXPECT_NEAR(peak_at(hz), natural, natural * 0.15);
    }
}

TEST(PsolaSynthesiser, InterpolatesPitchBetweenLines)
{
    auto database = diphone_test::make_database();
    // 100 Hz at the start of the first vowel, 200 Hz at the end of the
    // second: the join between them, half way, is near 150 Hz.
    auto out = synthesise_phonemes(database, lines({ "a 300 0 100", "a 300 100 200" }), "_", "_");
    EXPECT_NEAR(pitch_between(out, 260, 340), 150, 150 * 0.05);
    // Linear in between: 100 + t / 6 Hz at t ms.
    EXPECT_NEAR(pitch_between(out, 60, 120), 115, 115 * 0.05);
    EXPECT_NEAR(pitch_between(out, 480, 540), 185, 185 * 0.05);
    // Without points the voice keeps its own pitch.
    auto flat = synthesise_phonemes(database, lines({ "a 300" }), "_", "_");
    EXPECT_NEAR(pitch_between(flat, 50, 250), diphone_test::source_pitch, diphone_test::source_pitch * 0.03);
}

TEST(PsolaSynthesiser, PausesAreSilent)
{
    auto database = diphone_test::make_database();
    auto out = synthesise_phonemes(database, lines({ "a 100", "_ 300", "a 100" }), "_", "_");
    ASSERT_EQ(out.size(), 500u * 16);
    // The pause's middle, away from the grains reaching in from the vowels.
    for (size_t i = 150 * 16; i < 350 * 16; ++i)
        ASSERT_EQ(out[i], 0.0f) << i;
    auto only_pause = synthesise_phonemes(database, lines({ "_ 200" }), "_", "_");
    ASSERT_EQ(only_pause.size(), 200u * 16);
    EXPECT_TRUE(std::all_of(only_pause.begin(), only_pause.end(), [](float s) { return s == 0; }));
}

TEST(PsolaSynthesiser, ReportsOrSkipsBadInput)
{
    auto database = std::make_shared<const DiphoneDatabase>(diphone_test::make_database());
    PsolaSynthesiser synthesiser(database);
    EXPECT_FALSE(synthesiser.write("a ten"));
    EXPECT_EQ(synthesiser.last_error(), SynthError::Syntax);
    EXPECT_FALSE(synthesiser.write("e 100"));
    EXPECT_EQ(synthesiser.last_error(), SynthError::UnknownPhoneme);
    EXPECT_TRUE(synthesiser.write("s 100"));
    EXPECT_FALSE(synthesiser.write("i 100")); // no s-i diphone
    EXPECT_EQ(synthesiser.last_error(), SynthError::MissingDiphone);

    synthesiser.reset();
    EXPECT_EQ(synthesiser.last_error(), SynthError::None);
    synthesiser.set_no_error(true);
    // Bad lines are skipped; the missing diphone is stood in for.
    EXPECT_TRUE(synthesiser.write("a ten\ne 100\n_ 100\ns 100\ni 100\n_ 100"));
    synthesiser.flush();
    EXPECT_EQ(synthesiser.waiting(), size_t(400 * 16));
}

TEST(PsolaSynthesiser, WritesSeveralLinesAndFlushesOnHash)
{
    auto database = std::make_shared<const DiphoneDatabase>(diphone_test::make_database());
    PsolaSynthesiser synthesiser(database);
    EXPECT_TRUE(synthesiser.write("_ 50\r\n; a comment\r\na 100 50 120\r\n\r\n"));
    EXPECT_EQ(synthesiser.waiting(), 0u);
    EXPECT_TRUE(synthesiser.write("#"));
    EXPECT_EQ(synthesiser.waiting(), size_t(150 * 16));
}

TEST(PsolaSynthesiser, HandsOverWhatPrecedesEachPause)
{
    auto database = std::make_shared<const DiphoneDatabase>(diphone_test::make_database());
    PsolaSynthesiser synthesiser(database);
    EXPECT_TRUE(synthesiser.write("_ 50\na 100\ns 80"));
    EXPECT_EQ(synthesiser.waiting(), 0u);
    EXPECT_TRUE(synthesiser.write("_ 100"));
    EXPECT_EQ(synthesiser.waiting(), size_t(230 * 16));
    EXPECT_TRUE(synthesiser.write("a 100 0 130\n_ 60"));
    EXPECT_EQ(synthesiser.waiting(), size_t(430 * 16));
    synthesiser.flush();
    EXPECT_EQ(synthesiser.waiting(), size_t(490 * 16));
    // The pieces join without a gap: the second vowel sounds as long as it
    // was asked to, and the pause between the two is silent in the middle.
    std::vector<int16_t> out(synthesiser.waiting());
    synthesiser.read(out.data(), out.size());
    for (size_t i = 250 * 16; i < 310 * 16; ++i)
        ASSERT_EQ(out[i], 0) << i;
    EXPECT_GT(*std::max_element(out.begin() + 340 * 16, out.begin() + 420 * 16), 2000);
}

TEST(PsolaSynthesiser, SynthesisesLongInputBeforeTheFlush)
{
    auto database = std::make_shared<const DiphoneDatabase>(diphone_test::make_database());
    PsolaSynthesiser synthesiser(database);
    for (size_t i = 0; i < max_queued_phonemes; ++i)
        ASSERT_TRUE(synthesiser.write(i % 2 ? "a 10" : "i 10"));
    // All but the last, whose next diphone is not known yet.
    EXPECT_EQ(synthesiser.waiting(), (max_queued_phonemes - 1) * 160);
    synthesiser.flush();
    EXPECT_EQ(synthesiser.waiting(), max_queued_phonemes * 160);
}

TEST(PsolaSynthesiser, AppliesVolumeAndOutputRate)
{
    auto database = std::make_shared<const DiphoneDatabase>(diphone_test::make_database());
    auto peak = [&](float volume, int rate, size_t& count) {
        PsolaSynthesiser synthesiser(database);
        synthesiser.set_volume(volume);
        synthesiser.set_output_rate(rate);
        synthesiser.write("a 200");
        synthesiser.flush();
        std::vector<int16_t> out(synthesiser.waiting());
        count = synthesiser.read(out.data(), out.size());
        int loudest = 0;
        for (int16_t s : out)
            loudest = std::max(loudest, std::abs(int(s)));
        return loudest;
    };
    size_t normal_count = 0, half_count = 0, slow_count = 0;
    int normal = peak(1.0f, 16000, normal_count);
    int half = peak(0.5f, 16000, half_count);
    peak(1.0f, 8000, slow_count);
    EXPECT_GT(normal, 1000);
    EXPECT_NEAR(half, normal / 2, 2);
    EXPECT_EQ(normal_count, 3200u);
    EXPECT_NEAR(double(slow_count), 1600, 2);
}
