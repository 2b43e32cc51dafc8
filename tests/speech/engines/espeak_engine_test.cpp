// SPDX-License-Identifier: GPL-3.0-or-later
// espeak-ng in this process, heard through the recorder: its voices, its length, busy and stopping.
#include "speech/engines/espeak_engine.h"
#include "speech/engines/installed_engines.h"
#include "tests/speech/speech_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr bool have_espeak = CORVANTE_HAVE_ESPEAK_NG;
constexpr const char* sentence = "Bom dia. Esta frase foi dita pela voz instalada, devagar e com calma.";

class EspeakEngineTest : public ::testing::Test {
protected:
    explicit EspeakEngineTest(bool real_time = false)
        : world(real_time)
    {
    }
    void SetUp() override
    {
        if (!have_espeak)
            GTEST_SKIP() << "built without espeak-ng";
    }
    std::unique_ptr<speech::EspeakEngine> open(speech::EngineChoice choice)
    {
        return speech::EspeakEngine::open(choice, *world.wave, world.port);
    }
    // Milliseconds of sound heard so far, in the recorder's format.
    double heard_ms() const
    {
        auto format = world.recorder->file_format();
        double frames = static_cast<double>(world.recorder->samples().size()) / (format.bits / 8 * format.channels);
        return frames * 1000.0 / format.rate;
    }

    speech_test::SpeechWorld world;
};

class EspeakEngineTimedTest : public EspeakEngineTest {
protected:
    EspeakEngineTimedTest()
        : EspeakEngineTest(true)
    {
    }
};

// espeak-ng's own program renders the text to a WAV file; the length of
// its samples in milliseconds, or -1 when the program is missing.
double reference_ms(const std::string& voice, int rate, const std::filesystem::path& file, const char* text = sentence)
{
    std::string rate_text = std::to_string(rate);
    std::string path = file.string();
    std::vector<const char*> argv { "espeak-ng", "-v", voice.c_str(), "-s", rate_text.c_str(), "-w", path.c_str(), text, nullptr };
    pid_t pid = 0;
    if (posix_spawnp(&pid, "espeak-ng", nullptr, nullptr, const_cast<char* const*>(argv.data()), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    std::error_code error;
    auto size = std::filesystem::file_size(file, error);
    if (error || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || size <= 44)
        return -1;
    return static_cast<double>(size - 44) / 2 * 1000.0 / 22050;
}

double loudness(const std::vector<uint8_t>& samples)
{
    double sum = 0;
    size_t count = samples.size() / 2;
    for (size_t i = 0; i < count; ++i) {
        auto value = static_cast<int16_t>(samples[i * 2] | (samples[i * 2 + 1] << 8));
        sum += static_cast<double>(value) * value;
    }
    return count ? std::sqrt(sum / static_cast<double>(count)) : 0;
}

TEST_F(EspeakEngineTest, VoiceOneIsBrazilianPortugueseThenTheEnginesOrder)
{
    auto engine = open({ 1, 0, 0, 5 });
    ASSERT_TRUE(engine);
    auto voices = speech::EspeakEngine::voice_identifiers();
    ASSERT_GT(voices.size(), 10u);
    EXPECT_EQ(voices[0], "roa/pt-BR");
    EXPECT_EQ(std::count(voices.begin(), voices.end(), "roa/pt-BR"), 1);
    EXPECT_NE(std::find(voices.begin(), voices.end(), "roa/pt"), voices.end());
    EXPECT_EQ(engine->voice(), "roa/pt-BR");
    EXPECT_EQ(engine->rate(), 175);
    EXPECT_EQ(engine->pitch(), 50);
    engine.reset();

    struct Case {
        speech::EngineChoice choice;
        std::string voice;
        int rate, pitch;
    };
    const Case cases[] = {
        { { 2, 10, 10, 5 }, voices[1], 450, 100 },
        { { 3, -10, -10, 54 }, voices[2], 80, 0 },
        { { 1, 220, 0, 4 }, voices[0], 220, 50 },
        // A voice out of range is the first one, at the default speed.
        { { static_cast<int>(voices.size()) + 1, 8, 4, 5 }, voices[0], 175, 70 },
        { { 0, -6, 0, 5 }, voices[0], 175, 50 },
        { { -3, 5, 0, 5 }, voices[0], 175, 50 },
    };
    for (const auto& test : cases) {
        engine = open(test.choice);
        ASSERT_TRUE(engine) << test.voice;
        EXPECT_EQ(engine->voice(), test.voice);
        EXPECT_EQ(engine->rate(), test.rate) << test.voice;
        EXPECT_EQ(engine->pitch(), test.pitch) << test.voice;
        engine.reset();
    }
}

TEST_F(EspeakEngineTest, SpeechLastsAsLongAsEspeakNgsOwnRendering)
{
    struct Case {
        int voice;
        int speed;
    };
    // Voice 1 at its default rate and faster; voice 2 (not Portuguese) slow.
    const Case cases[] = { { 1, 0 }, { 1, 6 }, { 2, -5 } };
    for (const auto& test : cases) {
        auto engine = open({ test.voice, test.speed, 0, 5 });
        ASSERT_TRUE(engine);
        size_t before = world.recorder->samples().size();
        double start_ms = heard_ms();
        engine->speak(sentence);
        while (engine->busy(false))
            world.wave->wait_event(50);
        double ours = heard_ms() - start_ms;
        std::vector<uint8_t> samples(world.recorder->samples().begin() + static_cast<long>(before), world.recorder->samples().end());
        EXPECT_GT(loudness(samples), 500.0) << engine->voice();
        double reference = reference_ms(engine->voice(), engine->rate(), world.temp.path() / "reference.wav");
        if (reference < 0)
            GTEST_SKIP() << "espeak-ng's program is not installed";
        EXPECT_NEAR(ours, reference, reference * 0.3) << engine->voice() << " at " << engine->rate();
        EXPECT_EQ(world.recorder->file_format().rate, 22050);
        engine.reset();
    }
}

TEST_F(EspeakEngineTest, TextIsReadAsTextInUtf8)
{
    auto engine = open({ 1, 0, 0, 5 });
    ASSERT_TRUE(engine);
    // Markup is read aloud, not obeyed: the break would add seconds of silence.
    engine->speak("a <break time=\"5s\"/> b");
    while (engine->busy(false))
        world.wave->wait_event(50);
    double marked = heard_ms();
    EXPECT_GT(marked, 500.0);
    EXPECT_LT(marked, 5000.0);
    // The script's Windows-1252 text reaches the engine as the same words
    // in UTF-8, as espeak-ng's program reads them from its command line.
    double before = heard_ms();
    engine->speak("Informa\xE7\xE3o, a\xE7\xE3o e cora\xE7\xE3o.");
    while (engine->busy(false))
        world.wave->wait_event(50);
    double reference = reference_ms("roa/pt-BR", 175, world.temp.path() / "accents.wav", "Informa\xC3\xA7\xC3\xA3o, a\xC3\xA7\xC3\xA3o e cora\xC3\xA7\xC3\xA3o.");
    if (reference > 0) {
        EXPECT_NEAR(heard_ms() - before, reference, reference * 0.3);
    }
    // Blank text makes no sound at all.
    before = heard_ms();
    engine->speak(" \r\n");
    EXPECT_FALSE(engine->busy(false));
    EXPECT_EQ(heard_ms(), before);
}

TEST_F(EspeakEngineTimedTest, BusyWhilePlayingThenIdle)
{
    auto engine = open({ 1, 0, 0, 5 });
    ASSERT_TRUE(engine);
    EXPECT_FALSE(engine->busy(true));
    engine->speak("Bom dia a todos.");
    // Synthesis took no time on the test's clock: everything is still to be heard.
    EXPECT_EQ(world.clock.monotonic_ms(), 0u);
    EXPECT_TRUE(engine->busy(false));
    while (engine->busy(false))
        world.wave->wait_event(50);
    EXPECT_FALSE(engine->busy(false));
    EXPECT_NEAR(static_cast<double>(world.clock.monotonic_ms()), heard_ms(), 60.0);
    EXPECT_GT(heard_ms(), 600.0);
}

TEST_F(EspeakEngineTimedTest, AKeySilencesItWithin30Ms)
{
    auto engine = open({ 1, 0, 0, 5 });
    ASSERT_TRUE(engine);
    // Longer than the ring holds, so the key comes during synthesis too.
    std::string text;
    for (int i = 0; i < 6; ++i)
        text += sentence;
    for (uint64_t key_ms : { 400u, 2500u }) {
        world.port.key_at(world.clock.monotonic_ms() + key_ms, 'x');
        double start = heard_ms();
        engine->speak(text);
        while (engine->busy(false))
            world.wave->wait_event(50);
        ASSERT_EQ(world.port.key_arrivals.size(), 1u);
        EXPECT_NEAR(heard_ms() - start, static_cast<double>(key_ms), 30.0);
        // The key stays for its reader; the engine speaks again once it is read.
        EXPECT_EQ(world.port.read_key(), 'x');
        world.port.key_arrivals.clear();
    }
    engine->stop();
    EXPECT_FALSE(engine->busy(false));
}

}
