// SPDX-License-Identifier: GPL-3.0-or-later
// Which family each engine type opens, where speech-dispatcher is looked for, and the client's fall-backs.
#include "speech/client_speech.h"
#include "speech/engines/espeak_engine.h"
#include "speech/engines/installed_engines.h"
#include "speech/engines/speech_dispatcher_engine.h"
#include "speech/speech_cues.h"
#include "speech/speech_statements.h"
#include "tests/speech/engines/fake_ssip_server.h"
#include "tests/speech/speech_fixture.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

constexpr bool have_espeak = CORVANTE_HAVE_ESPEAK_NG;

TEST(InstalledEngines, FamilyOfEachType)
{
    using speech::EngineFamily;
    const std::pair<int, EngineFamily> cases[] = {
        { 3, EngineFamily::PhonemeLine }, { 4, EngineFamily::Espeak }, { 5, EngineFamily::Espeak },
        { 54, EngineFamily::SpeechDispatcher }, { 0, EngineFamily::Espeak }, { -1, EngineFamily::Espeak },
        { 53, EngineFamily::Espeak }, { 55, EngineFamily::Espeak },
    };
    for (auto [type, family] : cases)
        EXPECT_EQ(speech::engine_family(type), family) << type;
}

TEST(InstalledEngines, DispatcherSocketPath)
{
    struct Case {
        const char* address;
        const char* runtime;
        const char* home;
        std::string path;
    };
    const Case cases[] = {
        { "unix_socket:/tmp/sd.sock", "/run/user/1000", "/home/ana", "/tmp/sd.sock" },
        { nullptr, "/run/user/1000", "/home/ana", "/run/user/1000/speech-dispatcher/speechd.sock" },
        { "", "", "/home/ana", "/home/ana/.cache/speech-dispatcher/speechd.sock" },
        { "inet_socket:127.0.0.1:6560", "/run/user/1000", "/home/ana", "" },
        { nullptr, nullptr, nullptr, "" },
    };
    for (const auto& test : cases)
        EXPECT_EQ(speech::dispatcher_socket_path(test.address, test.runtime, test.home), test.path) << test.path;
}

// The client over the real factory, on the speech tests' small voice.
class EngineClientTest : public ::testing::Test {
protected:
    void SetUp() override { world.write_voice({ { "$PA", unit_pa, 100 } }, "(PA)= pa|\n", ""); }

    void start(std::string_view settings)
    {
        world.write_settings(settings);
        // A fresh start, as of the program: the engine session too.
        client.reset();
        session = std::make_unique<speech::EngineSession>(engines, world.clock);
        client = std::make_unique<speech::SpeechClient>(
            speech::SpeechClient::Parts { world.port, *world.wave, *world.config, world.paths, world.clock, *session });
        client->init_speech(0, "");
    }

    static constexpr int unit_pa = 60;
    speech_test::SpeechWorld world;
    speech_test::FakeSsipServer server { world.temp.path() / "speechd.sock" };
    speech::InstalledEngines engines { *world.wave, world.port, server.socket_path().string() };
    std::unique_ptr<speech::EngineSession> session;
    std::unique_ptr<speech::SpeechClient> client;
};

TEST_F(EngineClientTest, TypeThreeOpensNothingHere)
{
    start("[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=3\n");
    EXPECT_FALSE(session->is_open());
    EXPECT_EQ(session->type(), 3);
    EXPECT_TRUE(server.received().empty());
}

TEST_F(EngineClientTest, ADaemonThatDiesLeavesTheBuiltInVoice)
{
    start("[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=54\nVOZ=2\nVELOCIDADE=3\nTOM=-1\n");
    ASSERT_TRUE(session->is_open());
    EXPECT_EQ(server.received(), (Lines { "SET SELF CLIENT_NAME user:corvante:main", "SET SELF NOTIFICATION ALL on",
                                     "LIST SYNTHESIS_VOICES", "SET SELF SYNTHESIS_VOICE Ricardo", "SET SELF RATE 30",
                                     "SET SELF PITCH -10" }));
    client->speak_text("pa");
    EXPECT_EQ(server.received().back(), "DATA pa");
    EXPECT_TRUE(client->speech_busy());
    server.send("702-1\r\n702-1\r\n702 END\r\n");
    for (int pass = 0; pass < 200 && client->speech_busy(); ++pass)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(client->speech_busy());
    EXPECT_TRUE(world.heard().empty());

    server.die();
    client->speak_text("pa");
    EXPECT_FALSE(session->is_open());
    // The built-in voice said it.
    ASSERT_FALSE(world.heard().empty());
    EXPECT_EQ(world.heard().front(), (sound_test::Run { unit_pa, 99 }));
}

// A change of speed level from the line editor restarts speech, and the
// engine opens again from the settings, as at start.
TEST_F(EngineClientTest, RestartingSpeechOpensTheEngineAgain)
{
    start("[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=54\nVOZ=3\nVELOCIDADE=-2\n");
    ASSERT_TRUE(session->is_open());
    size_t before = server.received().size();
    client->shutdown_speech();
    client->init_speech(5, "");
    EXPECT_TRUE(session->is_open());
    EXPECT_EQ(client->speed_level(), 5);
    Lines expected { "QUIT", "SET SELF CLIENT_NAME user:corvante:main", "SET SELF NOTIFICATION ALL on", "LIST SYNTHESIS_VOICES",
        "SET SELF SYNTHESIS_VOICE Kate", "SET SELF RATE -20", "SET SELF PITCH 0" };
    ASSERT_TRUE(server.wait_received(before + expected.size()));
    auto lines = server.received();
    EXPECT_EQ(Lines(lines.begin() + static_cast<long>(before), lines.end()), expected);
}

void bind_with_speech(interpreter::CommandTable& table)
{
    test_support::bind_core_statements(table);
    speech::bind_speech_statements(table);
}

// SINTCONFIG's mode 2 follows the SAPI setting; -1 takes each value from
// the settings, which here choose speech-dispatcher's second voice.
TEST_F(EngineClientTest, ConfigureModeTwoFollowsTheSapiSetting)
{
    struct Case {
        const char* sapi;
        bool engine;
    };
    const Case cases[] = { { "Sim", true }, { "", false }, { "sim", true }, { "Nao", false } };
    for (const auto& test : cases) {
        start(std::string("[TRADUTOR]\nSAPI=") + test.sapi + "\n[SERVFALA]\nTIPOSAPI=54\nVOZ=2\nVELOCIDADE=4\nTOM=2\n");
        speech::SpeechCues cues({ *client, *session, world.port, world.paths });
        speech::ClientSpeech speech(*client, cues, *session, *world.config);
        test_support::TestRuntime script { bind_with_speech, &speech };
        size_t before = server.received().size();
        ASSERT_TRUE(script.execute("sintconfig 0 2 0 0 0 0"));
        EXPECT_FALSE(session->is_open());
        ASSERT_TRUE(script.execute("sintconfig 2 -1 -1 -1 -1 -1"));
        EXPECT_EQ(session->is_open(), test.engine) << test.sapi;
        // The type is taken only when an engine is asked for.
        EXPECT_EQ(session->type(), test.engine ? 54 : 5);
        auto lines = server.received();
        Lines opened(lines.begin() + static_cast<long>(before), lines.end());
        // The engine that the settings opened at start closes, and SINTCONFIG
        // opens it again.
        Lines expected;
        Lines once { "SET SELF CLIENT_NAME user:corvante:main", "SET SELF NOTIFICATION ALL on", "LIST SYNTHESIS_VOICES",
            "SET SELF SYNTHESIS_VOICE Ricardo", "SET SELF RATE 40", "SET SELF PITCH 20" };
        if (test.engine) {
            expected = { "QUIT" };
            expected.insert(expected.end(), once.begin(), once.end());
        }
        server.wait_received(before + expected.size());
        lines = server.received();
        EXPECT_EQ(Lines(lines.begin() + static_cast<long>(before), lines.end()), expected) << test.sapi;
        client.reset();
    }
}

TEST_F(EngineClientTest, NoDaemonOpensEspeakInstead)
{
    server.die();
    auto engine = engines.open_engine({ 2, 0, 0, 54 });
    if (!have_espeak)
        GTEST_SKIP() << "built without espeak-ng";
    ASSERT_TRUE(engine);
    auto* espeak = dynamic_cast<speech::EspeakEngine*>(engine.get());
    ASSERT_NE(espeak, nullptr);
    EXPECT_NE(espeak->voice(), "roa/pt-BR");
}

}
