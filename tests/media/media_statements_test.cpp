// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of TOCA, MCI and MIDI as scripts use them.
#include "media/media_statements.h"

#include "media/media_state.h"
#include "platform/path_map.h"
#include "tests/media/fake_mixer.h"
#include "tests/media/media_files.h"
#include "tests/media/signal_analysis.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

using namespace media_test;

void bind_with_media(interpreter::CommandTable& table)
{
    test_support::bind_core_statements(table);
    media::bind_media_statements(table);
}

class MediaStatementsTest : public testing::Test {
protected:
    explicit MediaStatementsTest(std::string soundfont = media::default_soundfont)
        : state(mixer, paths, std::move(soundfont))
    {
        test.runtime.subsystems.media = &state;
        // Every pause of the script lets the sound play on as long.
        test.ports.on_pause = [this](int milliseconds) {
            ++pauses;
            mixer.play_for(milliseconds, [this] { state.pump(); });
            if (pauses == key_at_pause)
                test.ports.push_keys("x");
        };
    }
    void SetUp() override
    {
        if (MediaFiles::folder().empty())
            GTEST_SKIP() << "sox or lame is missing";
        paths.set_drive('m', MediaFiles::folder());
    }
    bool execute(std::string_view line) { return test.execute(line); }
    std::string mci(std::string_view command)
    {
        EXPECT_TRUE(execute("mci $r \"" + std::string(command) + "\""));
        return test.variable("$r");
    }

    FakeMixer mixer;
    platform::PathMap paths { "" };
    media::MediaState state;
    test_support::TestRuntime test { bind_with_media };
    int pauses = 0;
    int key_at_pause = -1;
};

TEST_F(MediaStatementsTest, PlayWaitsForTheEndPollingEveryTenthOfASecond)
{
    int64_t before = test.ports.paused_ms;
    EXPECT_TRUE(execute(R"(toca "m:\tone440.wav")"));
    int64_t waited = test.ports.paused_ms - before;
    EXPECT_EQ(waited % 100, 0);
    EXPECT_GE(waited, 1000);
    EXPECT_LE(waited, 1200);
    ASSERT_EQ(mixer.records.size(), 1u);
    EXPECT_NEAR(double(mixer.records[0]->heard.size()), 44100, 1);
    EXPECT_FALSE(mixer.records[0]->open);
    EXPECT_EQ(mci("status myfile mode"), "");
}

TEST_F(MediaStatementsTest, AKeyEndsThePlayAndIsDiscarded)
{
    key_at_pause = pauses + 3;
    int64_t before = test.ports.paused_ms;
    EXPECT_TRUE(execute(R"(toca "m:\two_tones.mp3")"));
    EXPECT_EQ(test.ports.paused_ms - before, 300);
    EXPECT_TRUE(test.ports.keys.empty());
    EXPECT_EQ(test.ports.missed_keys, 0);
    ASSERT_EQ(mixer.records.size(), 1u);
    // About 300 ms were heard, then the device was stopped and closed.
    EXPECT_NEAR(double(mixer.records[0]->heard.size()), 2 * 44100 * 0.3, 2 * 441);
    EXPECT_FALSE(mixer.records[0]->open);
    EXPECT_EQ(mci("status myfile mode"), "");
}

TEST_F(MediaStatementsTest, PlayWithAmpersandReturnsAtOnce)
{
    int64_t before = test.ports.paused_ms;
    EXPECT_TRUE(execute(R"(toca "m:\tone440.wav" &)"));
    EXPECT_EQ(test.ports.paused_ms, before);
    EXPECT_TRUE(state.control().playing());
    EXPECT_EQ(mci(R"(status m:\tone440.wav mode)"), "playing");
    // A script that waits meanwhile hears it to its end; then it closes.
    EXPECT_TRUE(execute("seja a 1"));
    test.ports.pause_ms(1100);
    EXPECT_FALSE(state.control().playing());
    EXPECT_FALSE(mixer.records[0]->open);
}

TEST_F(MediaStatementsTest, PlayOfANameWithBlanks)
{
    std::filesystem::copy_file(MediaFiles::path("tone440.wav"), MediaFiles::path("com espaço.wav"),
        std::filesystem::copy_options::overwrite_existing);
    EXPECT_TRUE(execute("toca \"m:\\com espa\xE7o.wav\" &"));
    EXPECT_TRUE(state.control().playing());
}

TEST_F(MediaStatementsTest, PlayFailsOnlyOnItsOperands)
{
    EXPECT_FALSE(execute("toca"));
    EXPECT_FALSE(execute(R"(toca "m:\tone440.wav" "m:\tone440.wav")"));
    // A file that cannot be played is not reported.
    EXPECT_TRUE(execute(R"(toca "m:\nothing.mp3")"));
    EXPECT_TRUE(execute(R"(toca "m:\damaged.mp3")"));
    EXPECT_TRUE(execute(R"(toca "m:\damaged.mp3" &)"));
    EXPECT_TRUE(mixer.records.empty());
    EXPECT_EQ(test.ports.console, "");
}

TEST_F(MediaStatementsTest, MediaCommandStoresTheReply)
{
    EXPECT_EQ(mci(R"(open mpegvideo!m:\two_tones.mp3 alias musica)"), "1");
    EXPECT_EQ(mci("status musica length"), "2000");
    EXPECT_EQ(mci("status musica mode"), "stopped");
    EXPECT_EQ(mci("play musica"), "");
    EXPECT_EQ(mci("status musica mode"), "playing");
    EXPECT_EQ(mci("close musica"), "");
    // The reply of a failed command is empty.
    test.set_variable("$r", "old");
    EXPECT_EQ(mci("status musica mode"), "");
    EXPECT_FALSE(execute("mci $r"));
    EXPECT_FALSE(execute("mci \"status x mode\""));
    EXPECT_FALSE(execute("mci $r \"status x mode\" sobra"));
}

// MIDI forms as the statement reads them, after upper-casing and trimming.
TEST(MidiRequest, ReadsEveryFormAndRefusesTheRest)
{
    struct Case {
        const char* text;
        bool valid;
        media::MidiForm form;
        std::array<int, 3> values;
    };
    using enum media::MidiForm;
    const Case cases[] = {
        { "INICIA", true, start, {} },
        { "TERMINA", true, end, {} },
        { "PANE", true, panic, {} },
        { "NL 1 60 100", true, note_on, { 1, 60, 100 } },
        { "NL1 60 100", true, note_on, { 1, 60, 100 } },
        { "NL   16   127    0", true, note_on, { 16, 127, 0 } },
        { "ND 10 69", true, note_off, { 10, 69, 0 } },
        { "TT 1 0", true, program, { 1, 0, 0 } },
        { "TT16 127", true, program, { 16, 127, 0 } },
        { "", false, start, {} },
        { "INICIA 1", false, start, {} },
        { "INICIAR", false, start, {} },
        { "NL 0 60 100", false, start, {} },
        { "NL 17 60 100", false, start, {} },
        { "NL 1 128 100", false, start, {} },
        { "NL 1 60 128", false, start, {} },
        { "NL 1 60", false, start, {} },
        { "NL 1 60 100 5", false, start, {} },
        { "NL 1 6O 100", false, start, {} },
        { "NL 1 -60 100", false, start, {} },
        { "NL 1 60.5 100", false, start, {} },
        { "NL 1 0060 100", false, start, {} },
        { "NL", false, start, {} },
        { "ND 1", false, start, {} },
        { "ND 1 60 0", false, start, {} },
        { "TT 17 5", false, start, {} },
        { "TT 1 200", false, start, {} },
        { "TT 1,5", false, start, {} },
        { "XX 1 2", false, start, {} },
    };
    for (const auto& test_case : cases) {
        auto request = media::parse_midi_request(test_case.text);
        ASSERT_EQ(request.has_value(), test_case.valid) << test_case.text;
        if (!request)
            continue;
        EXPECT_EQ(request->form, test_case.form) << test_case.text;
        EXPECT_EQ(request->values, test_case.values) << test_case.text;
    }
}

class MidiTest : public MediaStatementsTest {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(media::default_soundfont))
            GTEST_SKIP() << "the General MIDI sound bank is missing";
    }
    // What the synthesiser's stream has let be heard, one channel.
    std::vector<int16_t> heard_left()
    {
        return channel_of(mixer.records.back()->heard, 2, 0);
    }
    // The loudness of the first six harmonics of `base`, relative to the
    // loudest: the colour of an instrument.
    std::array<double, 6> harmonics(std::span<const int16_t> samples, double base)
    {
        std::array<double, 6> levels {};
        double loudest = 0;
        for (size_t i = 0; i < levels.size(); ++i) {
            levels[i] = energy_at(samples, media::midi_rate, base * double(i + 1));
            loudest = std::max(loudest, levels[i]);
        }
        for (double& level : levels)
            level /= loudest;
        return levels;
    }
    // How far apart two colours are: the sum over the harmonics of their
    // difference in decibels, each level taken as at least -30 dB.
    static double colour_distance(const std::array<double, 6>& a, const std::array<double, 6>& b)
    {
        double distance = 0;
        for (size_t i = 0; i < a.size(); ++i)
            distance += std::abs(10 * std::log10(std::max(a[i], 1e-3)) - 10 * std::log10(std::max(b[i], 1e-3)));
        return distance;
    }
};

TEST_F(MidiTest, EveryFormFailsBeforeTheStart)
{
    for (const char* line : { "midi NL 1 60 100", "midi ND 1 60", "midi TT 1 5", "midi PANE", "midi TERMINA", "midi", "midi   " })
        EXPECT_FALSE(execute(line)) << line;
    EXPECT_TRUE(mixer.records.empty());
}

TEST_F(MidiTest, StartsOnceAndStopsOnce)
{
    EXPECT_TRUE(execute("midi inicia"));
    EXPECT_EQ(state.midi_error(), "");
    ASSERT_EQ(mixer.records.size(), 1u);
    EXPECT_TRUE(mixer.records[0]->open);
    EXPECT_FALSE(execute("midi INICIA"));
    EXPECT_FALSE(execute("midi TT 17 5"));
    EXPECT_FALSE(execute("midi NL 1 60 x"));
    EXPECT_TRUE(execute("midi  termina "));
    EXPECT_FALSE(mixer.records[0]->open);
    EXPECT_FALSE(execute("midi TERMINA"));
    EXPECT_FALSE(execute("midi NL 1 60 100"));
    // Started again, it sounds again.
    EXPECT_TRUE(execute("midi INICIA"));
    EXPECT_TRUE(execute("midi NL 1 60 100"));
    test.ports.pause_ms(200);
    EXPECT_GT(rms(heard_left()), 100);
}

TEST_F(MidiTest, NoteSixtyNineSoundsAtFourHundredAndFortyHertzAndEnds)
{
    ASSERT_TRUE(execute("midi INICIA"));
    test.ports.pause_ms(100);
    size_t silent_until = heard_left().size();
    EXPECT_LT(rms(heard_left()), 1);
    ASSERT_TRUE(execute("midi NL 1 69 100"));
    test.ports.pause_ms(1000);
    auto left = heard_left();
    auto note = std::span(left).subspan(silent_until);
    ASSERT_GT(note.size(), size_t(media::midi_rate / 2));
    EXPECT_GT(rms(note), 100);
    EXPECT_NEAR(dominant_frequency(note, media::midi_rate, 100, 2000), 440, 4.4);

    ASSERT_TRUE(execute("midi ND 1 69"));
    test.ports.pause_ms(2000);
    left = heard_left();
    EXPECT_LT(rms(std::span(left).last(media::midi_rate / 10)), 2);
    EXPECT_EQ(test.ports.console, "");
}

TEST_F(MidiTest, AnIdleSynthesiserRestsUntilTheNextMessage)
{
    ASSERT_TRUE(execute("midi INICIA"));
    test.ports.pause_ms(1000);
    auto& record = *mixer.records.back();
    EXPECT_TRUE(record.paused);
    size_t heard = record.heard.size();
    test.ports.pause_ms(1000);
    EXPECT_EQ(record.heard.size(), heard);
    ASSERT_TRUE(execute("midi NL 1 60 100"));
    EXPECT_FALSE(record.paused);
    test.ports.pause_ms(300);
    auto left = heard_left();
    EXPECT_GT(rms(std::span(left).last(4410)), 100);
    // A held note keeps it going; once released and faded, it rests again.
    test.ports.pause_ms(1000);
    EXPECT_FALSE(record.paused);
    ASSERT_TRUE(execute("midi ND 1 60"));
    test.ports.pause_ms(3000);
    EXPECT_TRUE(record.paused);
}

TEST_F(MidiTest, PanicSilencesEveryNote)
{
    ASSERT_TRUE(execute("midi INICIA"));
    ASSERT_TRUE(execute("midi NL 1 60 100"));
    ASSERT_TRUE(execute("midi NL 10 38 100"));
    ASSERT_TRUE(execute("midi NL 16 72 100"));
    test.ports.pause_ms(300);
    auto left = heard_left();
    EXPECT_GT(rms(std::span(left).last(4410)), 100);
    ASSERT_TRUE(execute("midi PANE"));
    test.ports.pause_ms(2000);
    left = heard_left();
    EXPECT_LT(rms(std::span(left).last(4410)), 2);
}

TEST_F(MidiTest, ProgramChangeChangesTheColour)
{
    ASSERT_TRUE(execute("midi INICIA"));
    auto play_note = [&] {
        size_t from = heard_left().size();
        EXPECT_TRUE(execute("midi NL 1 57 110"));
        test.ports.pause_ms(600);
        EXPECT_TRUE(execute("midi ND 1 57"));
        auto left = heard_left();
        auto note = std::span(left).subspan(from + 2205, 17640);
        auto colour = harmonics(note, 220);
        test.ports.pause_ms(1500);
        return colour;
    };
    auto piano = play_note();
    ASSERT_TRUE(execute("midi TT 1 80")); // square lead
    auto square = play_note();
    EXPECT_EQ(test.ports.console, "");
    EXPECT_GT(colour_distance(piano, square), 20) << "the two programs sound alike";
    // The same program again gives the same colour.
    auto again = play_note();
    EXPECT_LT(colour_distance(square, again), 3);
}

class MidiWithoutSoundBankTest : public MediaStatementsTest {
protected:
    MidiWithoutSoundBankTest()
        : MediaStatementsTest("/nonexistent/bank.sf2")
    {
    }
};

TEST_F(MidiWithoutSoundBankTest, StartsSilentlyAndReportsOnlyTheProgramChange)
{
    EXPECT_TRUE(execute("midi INICIA"));
    EXPECT_NE(state.midi_error(), "");
    EXPECT_TRUE(mixer.records.empty());
    EXPECT_TRUE(execute("midi NL 1 60 100"));
    EXPECT_EQ(test.ports.console, "");
    EXPECT_TRUE(execute("midi TT 1 5"));
    EXPECT_EQ(test.ports.console, "erro em ProgramChange\r\n");
    EXPECT_TRUE(execute("midi TERMINA"));
    EXPECT_FALSE(execute("midi NL 1 60 100"));
}

}
