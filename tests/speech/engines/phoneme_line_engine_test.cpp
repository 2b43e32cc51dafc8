// SPDX-License-Identifier: GPL-3.0-or-later
// The phoneme-line voice over a fake synthesiser library: open, the lines it writes, images, file mode, restarts and fall-backs.
#include "audio/wave_file.h"
#include "base/text_encoding.h"
#include "speech/engines/installed_engines.h"
#include "speech/engines/phoneme_line_engine.h"
#include "tests/speech/speech_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// Every phoneme of the voice, so that the test's definitions hold every pair.
const char* const phoneme_names[] = {
    "_", "a", "e", "i", "o", "u", "E", "O", "@", "an", "en", "in", "on", "un", "w", "y", "wn", "yn", "p", "b", "t",
    "d", "k", "g", "f", "v", "s", "z", "x", "j", "tx", "dj", "m", "n", "nh", "l", "lh", "r", "rr", "r2", "s2",
};

std::string read_text(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

Lines read_lines(const fs::path& path)
{
    Lines lines;
    std::istringstream text(read_text(path));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

uint32_t le32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
    return value;
}

class PhonemeLineEngineTest : public ::testing::Test {
protected:
    explicit PhonemeLineEngineTest(bool real_time = false)
        : world(real_time)
    {
    }
    void SetUp() override
    {
        fs::create_directories(voice());
        for (const char* name : { "portug.nrl", "portug.exc", "portug.abr", "portug.pro" })
            fs::copy_file(fs::path(PHONEME_VOICE_DIR) / name, voice() / name);
        std::string definitions = "; every pair\n";
        for (const char* first : phoneme_names) {
            for (const char* second : phoneme_names)
                definitions += std::string(first) + " " + second + "\n";
        }
        test_support::ScratchFolder::write(voice() / "portug.dfn", definitions);
        write_database("samples=50\n");
    }
    fs::path voice() const { return world.temp.path() / "c/kestra/bertatts"; }
    fs::path log_path() const { return voice() / "br4.log"; }
    void write_database(std::string_view text)
    {
        test_support::ScratchFolder::write(voice() / "br4", text);
        fs::remove(log_path());
    }
    speech::PhonemeLineSetup setup(const char* library_folder = FAKE_SYNTH_DIR) const
    {
        return speech::phoneme_line_setup(*world.config, world.paths, library_folder);
    }
    std::unique_ptr<speech::PhonemeLineEngine> open(speech::EngineChoice choice = { 1, 0, 0, 3 })
    {
        return speech::PhonemeLineEngine::open(choice, setup(), *world.wave, world.port);
    }
    Lines log() const { return read_lines(log_path()); }
    Lines written() const
    {
        Lines lines;
        for (const auto& line : log()) {
            if (line.starts_with("write "))
                lines.push_back(line.substr(6));
        }
        return lines;
    }

    speech_test::SpeechWorld world;
};

TEST_F(PhonemeLineEngineTest, SetupLooksInTheProgramsFolderThenOnDriveC)
{
    auto places = setup("/opt/corvante");
    std::string drive = (world.temp.path() / "c").string();
    EXPECT_EQ(places.library_files,
        (Lines { "/opt/corvante/libmbrola.so", drive + "/kestra/libmbrola.so", drive + "/kestra/bertatts/libmbrola.so" }));
    EXPECT_EQ(places.database, drive + "/kestra/bertatts/br4");
    EXPECT_EQ(places.front_end, drive + "/kestra/bertatts/portug");
    EXPECT_EQ(places.output_file, "");

    world.write_settings("[BERTATTS]\nDIR=c:\\voz\nBASE=minha\n");
    EXPECT_EQ(setup("").front_end, drive + "/voz/minha");
    EXPECT_EQ(setup("").library_files.size(), 2u);
}

TEST_F(PhonemeLineEngineTest, SpeedAndPitchFactors)
{
    struct Case {
        int speed, pitch;
        double duration_factor, pitch_factor;
    };
    const Case cases[] = {
        { 3, 0, 0.6, 1.0 }, { 0, 11, 0.8, 2.0 }, { -3, -11 + 11, 1.0, 1.0 }, { 0, -10, 0.8, 1 / 11.0 },
        // Past the scales' ends the factors stay playable.
        { 15, -30, 0.1, 1 / 11.0 },
    };
    for (const auto& test : cases) {
        auto engine = open({ 1, test.speed, test.pitch, 3 });
        ASSERT_TRUE(engine) << test.speed;
        EXPECT_NEAR(engine->duration_factor(), test.duration_factor, 1e-9) << test.speed;
        EXPECT_NEAR(engine->pitch_factor(), test.pitch_factor, 1e-9) << test.pitch;
    }
    // The factors reach the durations: at speed 3 every phoneme is 0.75 of
    // its length at speed 0.
    auto normal = open({ 1, 0, 0, 3 })->synthesiser_lines("sol");
    auto faster = open({ 1, 3, 0, 3 })->synthesiser_lines("sol");
    ASSERT_EQ(normal.size(), faster.size());
    int compared = 0;
    for (size_t i = 0; i < normal.size(); ++i) {
        std::istringstream a(normal[i]), b(faster[i]);
        std::string name_a, name_b;
        int ms_a = 0, ms_b = 0;
        if (!(a >> name_a >> ms_a) || !(b >> name_b >> ms_b) || name_a == "_" || normal[i][0] == ';')
            continue;
        EXPECT_NEAR(ms_b, ms_a * 0.75, 1.0) << normal[i] << " / " << faster[i];
        ++compared;
    }
    EXPECT_EQ(compared, 3);
}

TEST_F(PhonemeLineEngineTest, WritesTheLinesAndPlaysAShortUtteranceAsOne256ByteImage)
{
    auto engine = open();
    ASSERT_TRUE(engine);
    int wake_ups = world.port.wake_ups;
    engine->speak("  Bom dia.  ");
    EXPECT_GT(world.port.wake_ups, wake_ups);
    auto calls = log();
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(Lines(calls.begin(), calls.begin() + 4), (Lines { "init", "no-error 0", "reset", "no-error -63" }));
    EXPECT_EQ(calls.back(), "flush");

    // Every line the front end made, empty ones skipped but the last, each
    // ended by CR LF.
    auto expected = engine->synthesiser_lines("Bom dia.");
    ASSERT_FALSE(expected.empty());
    Lines sent;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (!expected[i].empty() || i + 1 == expected.size())
            sent.push_back(expected[i] + "\\r\\n");
    }
    EXPECT_EQ(written(), sent);

    // 50 samples are 100 bytes, padded with silence to 256.
    while (engine->busy(false))
        world.port.wait_event(10);
    auto format = world.recorder->file_format();
    EXPECT_EQ(format.rate, speech::phoneme_line_rate);
    EXPECT_EQ(format.bits, 16);
    const auto& heard = world.recorder->samples();
    ASSERT_EQ(heard.size(), 256u);
    for (size_t i = 0; i < 50; ++i)
        EXPECT_EQ(static_cast<int16_t>(heard[i * 2] | heard[i * 2 + 1] << 8), 1000 + static_cast<int>(i % 7)) << i;
    EXPECT_TRUE(std::all_of(heard.begin() + 100, heard.end(), [](uint8_t byte) { return byte == 0; }));

    // An empty text writes nothing.
    fs::remove(log_path());
    engine->speak("   ");
    EXPECT_TRUE(log().empty());
}

TEST_F(PhonemeLineEngineTest, LongUtterancesArePlayedWhole)
{
    write_database("samples=70000\n");
    auto engine = open();
    ASSERT_TRUE(engine);
    engine->speak("sol");
    while (engine->busy(false))
        world.port.wait_event(10);
    EXPECT_EQ(world.recorder->samples().size(), 140000u);
}

TEST_F(PhonemeLineEngineTest, FileModeWritesAWaveWhoseHeaderIsRewrittenAtClose)
{
    auto places = setup();
    places.output_file = (world.temp.path() / "fala.wav").string();
    auto engine = speech::PhonemeLineEngine::open({ 1, 0, 0, 3 }, places, *world.wave, world.port);
    ASSERT_TRUE(engine);
    engine->speak("Bom dia.");
    engine->speak("Boa noite.");
    EXPECT_FALSE(engine->busy(false));
    std::string open_file = read_text(places.output_file);
    ASSERT_GE(open_file.size(), 44u);
    EXPECT_EQ(le32(open_file, 40), 0u); // the size is not known before the close
    engine.reset();

    std::string file = read_text(places.output_file);
    ASSERT_EQ(file.size(), 44u + 200u);
    EXPECT_EQ(file.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(file, 4), file.size() - 8);
    EXPECT_EQ(file.substr(8, 8), "WAVEfmt ");
    auto layout = audio::read_wave_layout(std::span(reinterpret_cast<const uint8_t*>(file.data()), file.size()));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->format, (platform::PcmFormat { 16000, 16, 1 }));
    EXPECT_EQ(le32(file, 40), 200u);
    EXPECT_TRUE(world.recorder->samples().empty());
    EXPECT_EQ(log().back(), "close");
}

TEST_F(PhonemeLineEngineTest, AWriteErrorRestartsTheSynthesiser)
{
    write_database("samples=50\nfail_write=2\n");
    auto engine = open();
    ASSERT_TRUE(engine);
    engine->speak("Bom dia.");
    auto calls = log();
    auto failed = std::find_if(calls.begin(), calls.end(), [](const std::string& call) { return call.starts_with("write-failed"); });
    ASSERT_NE(failed, calls.end());
    EXPECT_EQ(Lines(failed + 1, calls.end()), (Lines { "close", "init" }));
    // Still open: the next utterance is written again.
    engine->speak("Bom dia.");
    calls = log();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "reset"), 2);
}

class PhonemeLineEngineTimedTest : public PhonemeLineEngineTest {
protected:
    PhonemeLineEngineTimedTest()
        : PhonemeLineEngineTest(true)
    {
    }
};

TEST_F(PhonemeLineEngineTimedTest, AWaitingKeyStopsIt)
{
    write_database("samples=48000\n"); // three seconds
    auto engine = open();
    ASSERT_TRUE(engine);
    engine->speak("sol");
    // Polling posts no wake-up: the caller's waits between polls must wait.
    int wake_ups = world.port.wake_ups;
    EXPECT_TRUE(engine->busy(false));
    EXPECT_TRUE(engine->busy(false));
    EXPECT_EQ(world.port.wake_ups, wake_ups);
    world.port.keys.push_back('x');
    EXPECT_FALSE(engine->busy(false));
    EXPECT_FALSE(world.wave->wave_busy());
    // The key stays for its reader.
    EXPECT_TRUE(world.port.key_waiting());
    EXPECT_LT(world.recorder->samples().size(), 96000u);
}

TEST_F(PhonemeLineEngineTest, FallsBackSilentlyWhenAPartIsMissingOrDamaged)
{
    struct Case {
        const char* name;
        std::function<void()> damage;
        const char* library_folder;
    };
    const Case cases[] = {
        { "no library", [] {}, "/nonexistent" },
        { "a library without all the names", [] {}, PARTIAL_SYNTH_DIR },
        { "no database", [this] { fs::remove(voice() / "br4"); }, FAKE_SYNTH_DIR },
        { "prosody without durations", [this] { test_support::ScratchFolder::write(voice() / "portug.pro", "[CHAVES]\n"); }, FAKE_SYNTH_DIR },
        { "no exceptions", [this] { fs::remove(voice() / "portug.exc"); }, FAKE_SYNTH_DIR },
        { "no abbreviations", [this] { fs::remove(voice() / "portug.abr"); }, FAKE_SYNTH_DIR },
        { "rules without a rule", [this] { test_support::ScratchFolder::write(voice() / "portug.nrl", "; nothing\n"); }, FAKE_SYNTH_DIR },
        { "no definitions", [this] { fs::remove(voice() / "portug.dfn"); }, FAKE_SYNTH_DIR },
    };
    {
        auto engine = open();
        ASSERT_TRUE(engine) << "the whole voice opens";
    }
    for (const auto& test : cases) {
        for (const char* name : { "portug.nrl", "portug.exc", "portug.abr", "portug.pro", "portug.dfn", "br4" })
            fs::remove(voice() / name);
        SetUp();
        test.damage();
        auto places = setup(test.library_folder);
        if (std::string_view(test.library_folder) == "/nonexistent")
            places.library_files.resize(1);
        EXPECT_FALSE(speech::PhonemeLineEngine::open({ 1, 0, 0, 3 }, places, *world.wave, world.port)) << test.name;
        EXPECT_EQ(world.port.console, "") << test.name;
    }
}

TEST_F(PhonemeLineEngineTest, TheFactoryOpensItForTypeThree)
{
    speech::InstalledEngines engines { *world.wave, world.port, "" };
    EXPECT_FALSE(engines.open_engine({ 1, 0, 0, 3 })) << "not located yet";
    engines.set_phoneme_line_setup(setup());
    auto engine = engines.open_engine({ 1, 0, 0, 3 });
    ASSERT_TRUE(engine);
    EXPECT_TRUE(dynamic_cast<speech::PhonemeLineEngine*>(engine.get()));
}

// Finding the voice's files is left to its first open: a run that never
// chooses it does not search for them, and a second open does not again.
TEST_F(PhonemeLineEngineTest, TheFactoryLocatesItAtTheFirstOpenOnly)
{
    speech::InstalledEngines engines { *world.wave, world.port, "" };
    int searches = 0;
    engines.set_phoneme_line_setup(std::function<speech::PhonemeLineSetup()>([&] {
        ++searches;
        return setup();
    }));
    EXPECT_EQ(searches, 0);
    ASSERT_TRUE(engines.open_engine({ 1, 0, 0, 3 }));
    ASSERT_TRUE(engines.open_engine({ 1, 0, 0, 3 }));
    EXPECT_EQ(searches, 1);
}

// Through the speech client: the voice speaks when it opens, and the
// built-in voice when it does not, with nothing said about it.
TEST_F(PhonemeLineEngineTest, TheClientSpeaksWithItOrWithTheBuiltInVoice)
{
    world.write_voice({ { "$PA", 60, 100 } }, "(PA)= pa|\n", "");
    struct Case {
        const char* library_folder;
        bool opens;
    };
    for (auto test : { Case { "/nonexistent", false }, Case { FAKE_SYNTH_DIR, true } }) {
        speech::InstalledEngines engines { *world.wave, world.port, "" };
        auto places = setup(test.library_folder);
        if (!test.opens)
            places.library_files.resize(1);
        engines.set_phoneme_line_setup(places);
        world.write_settings("[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=3\n");
        speech::EngineSession session { engines, world.clock };
        speech::SpeechClient client(speech::SpeechClient::Parts { world.port, *world.wave, *world.config, world.paths, world.clock, session });
        client.init_speech(0, "");
        EXPECT_EQ(session.is_open(), test.opens) << test.library_folder;
        fs::remove(log_path());
        size_t heard_before = world.recorder->samples().size();
        client.speak_text("pa");
        while (client.speech_busy())
            world.port.wait_event(10);
        EXPECT_EQ(!written().empty(), test.opens) << test.library_folder;
        EXPECT_GT(world.recorder->samples().size(), heard_before) << test.library_folder;
        EXPECT_EQ(world.port.console, "") << test.library_folder;
        client.shutdown_speech();
    }
}

// The pitch of the last point of an utterance's last word (pauses and
// the marks of signs take no part).
int last_pitch(const Lines& lines)
{
    int pitch = 0;
    for (const auto& line : lines) {
        if (line.empty() || line[0] == ';')
            continue;
        std::istringstream fields(line);
        std::string name;
        int duration = 0, percent = 0, hertz = 0;
        fields >> name >> duration;
        if (name == "_")
            continue;
        while (fields >> percent >> hertz)
            pitch = hertz;
    }
    return pitch;
}

TEST_F(PhonemeLineEngineTest, AQuestionEndsHigherThanAStatement)
{
    auto engine = open();
    ASSERT_TRUE(engine);
    const char* sentences[] = { "Você vem amanhã", "Está chovendo lá fora", "O senhor quer café" };
    for (const char* sentence : sentences) {
        std::string text = base::utf8_to_windows1252(sentence);
        int statement = last_pitch(engine->synthesiser_lines(text + "."));
        int question = last_pitch(engine->synthesiser_lines(text + "?"));
        EXPECT_GT(statement, 0) << sentence;
        EXPECT_GT(question, statement * 5 / 4) << sentence;
    }
}

}
