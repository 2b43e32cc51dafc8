// SPDX-License-Identifier: GPL-3.0-or-later
// The speech client over a small synthetic voice: what a text makes the user hear, in order.
#include "speech/speech_cues.h"
#include "tests/speech/speech_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using sound_test::Run;
using Runs = std::vector<Run>;
using Lines = std::vector<std::string>;

// Every recording of the voice is one constant value; a recording of n
// samples is heard as n - 1 samples of it and one of silence, because every
// block but a full one ends on silence.
Runs recording(int value, size_t length = 300) { return { { value, length - 1 }, { 128, 1 } }; }
Runs operator+(Runs a, const Runs& b)
{
    for (const auto& run : b) {
        if (!a.empty() && a.back().value == run.value)
            a.back().length += run.length;
        else
            a.push_back(run);
    }
    return a;
}

constexpr int letter_a = 150, letter_b = 151, equals_sign = 152, hyphen = 153, colon = 154, slash = 155, full_stop = 156,
              comma = 157, unknown = 199, zero_cue = 30, seven = 40, minus_cue = 41, tab_cue = 42, unit_pa = 60, unit_ta = 70,
              unit_a = 80;

class SpeechClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.write_voice({ { "$PA", unit_pa, 500 }, { "$TA", unit_ta, 400 }, { "$A", unit_a, 300 } },
            "; the test voice\n(PA)= pa|\n(TA)= ta|\n(A)=a|\n", "");
        world.write_settings("[SINTETIZADOR]\nCORTEFON3=0\nINTERPAL3=100\n");
        world.write_letter("_97", letter_a, 300);
        world.write_letter("_98", letter_b, 300);
        world.write_letter("_61", equals_sign, 300);
        world.write_letter("_45", hyphen, 300);
        world.write_letter("_58", colon, 300);
        world.write_letter("_47", slash, 300);
        world.write_letter("_46", full_stop, 300);
        world.write_letter("_44", comma, 300);
        world.write_letter("_unknown", unknown, 300);
        world.write_cue("_zero", zero_cue, 300);
        world.write_cue("_sete", seven, 300);
        world.write_cue("_MENOS", minus_cue, 300);
        world.write_cue("_FON9", tab_cue, 300);
        world.start();
    }

    Runs say(std::string_view text)
    {
        size_t before = world.recorder->samples().size();
        world.client->speak_text(text);
        std::vector<uint8_t> samples(world.recorder->samples().begin() + static_cast<long>(before), world.recorder->samples().end());
        return sound_test::runs_of(samples);
    }

    speech_test::SpeechWorld world;
    const Runs word_gap { { 128, 100 } };
};

TEST_F(SpeechClientTest, WordsAreTranslatedAndSynthesised)
{
    EXPECT_EQ(say("pata"), (Runs { { unit_pa, 500 }, { unit_ta, 400 } } + word_gap));
    // A hyphenated word is two words, with no hyphen and no pause.
    EXPECT_EQ(say("pata-pata"), (Runs { { unit_pa, 500 }, { unit_ta, 400 } } + word_gap + Runs { { unit_pa, 500 }, { unit_ta, 400 } } + word_gap));
    EXPECT_EQ(world.clock.monotonic_ms(), 0u);
    EXPECT_EQ(world.log.entries(), (Lines { "speak: pata", "speak: pata-pata" }));
}

TEST_F(SpeechClientTest, ZerosDigitsAndSigns)
{
    EXPECT_EQ(say("007"), recording(zero_cue) + recording(zero_cue) + recording(seven));
    // Seven digits, or a hyphen among them, are spelled.
    EXPECT_EQ(say("1234567").size(), 14u);
    EXPECT_EQ(say("12-34"), recording(unknown) + recording(unknown) + recording(hyphen) + recording(unknown) + recording(unknown));
    EXPECT_EQ(say("-7"), recording(minus_cue) + recording(seven));
    EXPECT_EQ(say("www"), recording(unknown) + recording(unknown) + recording(unknown));
    EXPECT_EQ(say("\t"), recording(tab_cue));
}

TEST_F(SpeechClientTest, PunctuationAndItsPauses)
{
    // A hyphen between blanks is spoken with the comma pause.
    EXPECT_EQ(say("a - b"), (Runs { { unit_a, 300 } } + word_gap + recording(hyphen) + Runs { { letter_b, 300 } } + word_gap));
    EXPECT_EQ(world.clock.monotonic_ms(), 150u);
    // A full stop before a blank pauses; between digits it does not.
    say("a. a");
    EXPECT_EQ(world.clock.monotonic_ms(), 400u);
    EXPECT_EQ(say("7.7"), recording(seven) + recording(full_stop) + recording(seven));
    EXPECT_EQ(world.clock.monotonic_ms(), 400u);
    // "://": the colon is spelled and the slashes spoken one by one.
    EXPECT_EQ(say("pa://"), (Runs { { unit_pa, 500 } } + word_gap + recording(colon) + recording(slash) + recording(slash)));
    EXPECT_EQ(world.clock.monotonic_ms(), 400u);
}

TEST_F(SpeechClientTest, RunsOfOneCharacterEndInClicks)
{
    size_t before = world.recorder->blocks().size();
    world.client->speak_text("======");
    std::vector<size_t> sizes;
    for (size_t i = before; i < world.recorder->blocks().size(); ++i)
        sizes.push_back(world.recorder->blocks()[i].queued_bytes);
    EXPECT_EQ(sizes, (std::vector<size_t> { 300, 300, 300, 300, 256, 256 }));
    // One-letter words between single blanks never make a run.
    before = world.recorder->blocks().size();
    world.client->speak_text("a a a a a a");
    for (size_t i = before; i < world.recorder->blocks().size(); ++i)
        EXPECT_NE(world.recorder->blocks()[i].queued_bytes, 256u);
}

TEST_F(SpeechClientTest, AWaitingKeySilencesEverythingAndStays)
{
    world.port.keys.push_back('k');
    EXPECT_TRUE(say("pata 007 ===").empty());
    world.client->spell_text("abc");
    world.client->play_sound("_zero");
    EXPECT_FALSE(world.client->speech_busy());
    EXPECT_TRUE(world.recorder->blocks().empty());
    EXPECT_EQ(world.port.keys.size(), 1u);
}

TEST_F(SpeechClientTest, AKeyDuringALongUtteranceStopsItWithin30Milliseconds)
{
    speech_test::SpeechWorld live(true);
    live.write_voice({ { "$PA", unit_pa, 60000 }, { "$TA", unit_ta, 60000 } }, "(PA)= pa|\n(TA)= ta|\n", "");
    live.start();
    live.port.key_at(2500, 'q');
    live.client->speak_text("pata pata pata pata");
    ASSERT_EQ(live.port.key_arrivals.size(), 1u);
    size_t heard_ms = live.recorder->samples().size() * 1000 / 11025;
    EXPECT_GE(heard_ms, 2450u);
    EXPECT_LE(heard_ms, 2530u);
    EXPECT_EQ(live.port.keys.size(), 1u);
    EXPECT_LT(live.clock.monotonic_ms(), 2600u);
}

TEST_F(SpeechClientTest, CharactersCuesAndTheirDirectories)
{
    world.client->speak_char('a');
    world.client->speak_char('z');
    world.client->speak_char('\x05');
    EXPECT_EQ(world.heard(), recording(letter_a) + recording(unknown));
    sound_test::write_file(world.temp.path() / "c/scripts/musica.wav", sound_test::constant_wave(33, 300));
    EXPECT_TRUE(world.client->sound_exists("musica"));
    EXPECT_TRUE(world.client->sound_exists("_zero"));
    EXPECT_FALSE(world.client->sound_exists("zero"));
    world.client->play_sound("musica");
    world.client->play_sound("nada");
    EXPECT_EQ(world.heard(), recording(letter_a) + recording(unknown) + recording(33));
    EXPECT_EQ(world.log.entries(), (Lines { "char: a", "char: z", "char: <5>", "sound: musica", "sound: nada" }));
}

TEST_F(SpeechClientTest, ClickAndBeepWaves)
{
    const auto click = speech::click_sound();
    ASSERT_EQ(click.size(), 256u);
    EXPECT_TRUE(std::all_of(click.begin(), click.begin() + 64, [](uint8_t v) { return v >= 128 && v <= 187; }));
    EXPECT_TRUE(std::all_of(click.begin() + 64, click.end(), [](uint8_t v) { return v == 128; }));
    const auto beep = speech::beep_sound();
    ASSERT_EQ(beep.size(), 512u);
    EXPECT_EQ(std::vector<uint8_t>(beep.begin(), beep.begin() + 9), (std::vector<uint8_t> { 128, 112, 96, 80, 64, 80, 96, 112, 128 }));
    EXPECT_EQ(beep[510], 96);
    EXPECT_EQ(beep[511], 128);
    // The beep throws away waiting keys, then plays.
    world.port.keys.push_back('x');
    world.cues->play_beep();
    EXPECT_TRUE(world.port.keys.empty());
    EXPECT_EQ(world.recorder->samples(), beep);
}

TEST_F(SpeechClientTest, TimesAreSpokenFromRecordedWords)
{
    world.write_cue("_uma", 10, 300);
    world.write_cue("_hora", 11, 300);
    world.write_cue("_um", 12, 300);
    world.write_cue("_minuto", 13, 300);
    world.cues->speak_time(1, 1);
    EXPECT_EQ(world.log.entries(), (Lines { "sound: _uma", "sound: _hora", "sound: _um", "sound: _minuto" }));
    EXPECT_EQ(world.heard(), recording(10) + recording(11) + recording(12) + recording(13));
}

TEST_F(SpeechClientTest, NumberWordsAreJoinedInto30000ByteWaves)
{
    world.write_cue("_dois", 20, 20000);
    world.write_cue("_mil", 21, 15000);
    world.write_cue("_e", 22, 5000);
    world.cues->speak_number_words("dois mil e um", speech::Gender::Masculine);
    // "_um" is missing and skipped; the second file would overflow the first wave.
    std::vector<size_t> sizes;
    for (const auto& block : world.recorder->blocks())
        sizes.push_back(block.queued_bytes);
    EXPECT_EQ(sizes, (std::vector<size_t> { 8192, 8192, 3616, 8192, 8192, 3616 }));
}

TEST_F(SpeechClientTest, BatteryAndDialTones)
{
    world.write_cue("_SEMBAT", 50, 300);
    world.write_cue("_SEMENER", 51, 300);
    speech::SpeechCues& cues = *world.cues;
    cues.set_power_reader([] { return speech::PowerReading { false, 0, 255 }; });
    cues.speak_battery();
    cues.set_power_reader([] { return speech::PowerReading { true, 57, 0 }; });
    cues.speak_battery();
    EXPECT_EQ(world.log.entries(), (Lines { "sound: _SEMBAT", "speak: 57%", "sound: _SEMENER" }));

    world.write_letter("dtmf_1", 61, 300);
    world.write_letter("dtmf_#", 62, 300);
    world.write_letter("dtmf_X", 63, 300);
    uint64_t start = world.clock.monotonic_ms();
    size_t before = world.recorder->samples().size();
    cues.dial_tones("1,#*y");
    std::vector<uint8_t> tones(world.recorder->samples().begin() + static_cast<long>(before), world.recorder->samples().end());
    EXPECT_EQ(sound_test::runs_of(tones), recording(61) + recording(62) + recording(63));
    EXPECT_EQ(world.clock.monotonic_ms() - start, 1300u);
}

TEST_F(SpeechClientTest, EnginesThatCannotOpenLeaveTheBuiltInVoice)
{
    world.client->reconfigure_speech(3, true, 5, 0, 0, 0);
    EXPECT_FALSE(world.engine.is_open());
    EXPECT_EQ(world.engine.type(), 5);
    EXPECT_EQ(say("pata"), (Runs { { unit_pa, 500 }, { unit_ta, 400 } } + word_gap));
}

TEST(SpeechClientStart, AMissingVoiceEndsTheProgramAfterEnter)
{
    speech_test::SpeechWorld world;
    world.port.keys.push_back('x');
    world.port.keys.push_back(13);
    EXPECT_THROW(world.start(), std::runtime_error);
    // The report, then where the voice was looked for, how to install it,
    // and what the wait is for.
    const std::string& shown = world.port.console;
    EXPECT_TRUE(shown.starts_with("Erro de inicializa\xE7\xE3o: 1\nBanco de dados de voz: DIFONES2\nProcurado em: "))
        << shown;
    EXPECT_NE(shown.find("Procurado em: " + world.diphones().string()), std::string::npos) << shown;
    EXPECT_NE(shown.find("\nPara instalar a voz: scripts/install-voice"), std::string::npos) << shown;
    EXPECT_TRUE(shown.ends_with("\nTecle Enter para terminar.\n")) << shown;
    EXPECT_TRUE(world.port.keys.empty());
}

TEST(SpeechClientStart, RulesMissingIsCodeTwoAndOptionalVoicesGoOn)
{
    speech_test::SpeechWorld world;
    world.write_voice({ { "$PA", 60, 10 } }, "", "");
    std::filesystem::remove(world.diphones() / "portug.exc");
    EXPECT_THROW(world.start(), std::runtime_error);
    EXPECT_TRUE(world.port.console.starts_with("Erro de inicializa\xE7\xE3o: 2\nBanco de dados de voz: DIFONES2\n"))
        << world.port.console;
    speech_test::SpeechWorld quiet;
    quiet.client->set_voice_optional(true);
    quiet.start();
    quiet.client->speak_text("pata");
    EXPECT_TRUE(quiet.port.console.empty());
    EXPECT_TRUE(quiet.recorder->blocks().empty());
    EXPECT_EQ(quiet.client->speed_level(), 3);
}

}

namespace {

// An engine that stays busy for a number of polls after each utterance.
class FakeEngine final : public speech::SpeechEngine {
public:
    FakeEngine(std::vector<std::string>& spoken, const std::function<void()>& on_quiet)
        : m_spoken(spoken)
        , m_on_quiet(on_quiet)
    {
    }
    void speak(std::string_view text) override
    {
        m_spoken.emplace_back(text);
        m_busy_polls = 3;
    }
    bool busy(bool) override
    {
        if (m_busy_polls == 0)
            return false;
        if (--m_busy_polls == 0 && m_on_quiet)
            m_on_quiet();
        return true;
    }
    void stop() override { m_busy_polls = 0; }

private:
    std::vector<std::string>& m_spoken;
    const std::function<void()>& m_on_quiet;
    int m_busy_polls = 2; // settling after it opens
};

class FakeEngines final : public speech::EngineFactory {
public:
    std::unique_ptr<speech::SpeechEngine> open_engine(const speech::EngineChoice& choice) override
    {
        choices.push_back(choice);
        return std::make_unique<FakeEngine>(spoken, on_quiet);
    }
    std::vector<speech::EngineChoice> choices;
    std::vector<std::string> spoken;
    // Called at the poll that finds the engine's last utterance over.
    std::function<void()> on_quiet;
};

TEST(SpeechClientEngine, AnOpenEngineSpeaksAndCuesWaitForIt)
{
    speech_test::SpeechWorld world;
    world.write_voice({ { "$PA", 60, 100 } }, "(PA)= pa|\n", "");
    world.write_settings("[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nVOZ=4\nVELOCIDADE=12\nTOM=5\nTIPOSAPI=5\n");
    world.write_letter("_97", 150, 300);
    FakeEngines engines;
    speech::EngineSession session { engines, world.clock };
    speech::SpeechClient client({ world.port, *world.wave, *world.config, world.paths, world.clock, session });
    client.init_speech(0, "");
    ASSERT_TRUE(session.is_open());
    ASSERT_EQ(engines.choices.size(), 1u);
    EXPECT_EQ(engines.choices[0].voice, 4);
    EXPECT_EQ(engines.choices[0].speed, 0); // above 10 for a type other than 4
    EXPECT_EQ(engines.choices[0].pitch, 5);
    client.speak_text("um");
    client.speak_text("dois");
    EXPECT_EQ(engines.spoken, (std::vector<std::string> { "um", "dois" }));
    // The second utterance waited for the first: the polls took time.
    EXPECT_GE(world.clock.monotonic_ms(), 150u);
    // A recorded cue waits for the engine to fall silent, then plays.
    client.speak_char('a');
    EXPECT_EQ(world.heard(), (std::vector<sound_test::Run> { { 150, 299 }, { 128, 1 } }));
    // With a key waiting the engine is not handed the text.
    world.port.keys.push_back('k');
    client.speak_text("tres");
    EXPECT_EQ(engines.spoken.size(), 2u);
    // Back to the built-in voice.
    world.port.keys.clear();
    client.reconfigure_speech(3, false, 5, 0, 0, 0);
    EXPECT_FALSE(session.is_open());
}

// The cues' recordings wait for the engine as the speaker's do: nothing of
// them reaches the sound device while the engine still speaks.
TEST(SpeechClientEngine, CuesPlayOnlyOnceTheEngineIsQuiet)
{
    speech_test::SpeechWorld world;
    world.write_voice({ { "$PA", 60, 100 } }, "(PA)= pa|\n", "");
    world.write_settings("[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=5\n");
    world.write_cue("_uma", 10, 300);
    world.write_cue("_hora", 11, 300);
    world.write_letter("dtmf_1", 61, 300);
    world.write_cue("_SEMBAT", 50, 300);
    FakeEngines engines;
    speech::EngineSession session { engines, world.clock };
    speech::SpeechClient client({ world.port, *world.wave, *world.config, world.paths, world.clock, session });
    speech::SpeechCues cues({ client, session, world.port, world.paths });
    client.init_speech(0, "");
    ASSERT_TRUE(session.is_open());
    size_t blocks_when_quiet = 0;
    engines.on_quiet = [&] { blocks_when_quiet = world.recorder->blocks().size(); };
    const std::function<void()> cue_of_each_kind[] = {
        [&] { cues.speak_time(1, 0); },
        [&] { cues.dial_tones("1"); },
        [&] { cues.play_beep(); },
        [&] { cues.speak_battery(); },
    };
    for (const auto& play : cue_of_each_kind) {
        client.speak_text("pa");
        size_t blocks_before = world.recorder->blocks().size();
        play();
        EXPECT_EQ(blocks_when_quiet, blocks_before);
        EXPECT_GT(world.recorder->blocks().size(), blocks_before);
    }
}

}
