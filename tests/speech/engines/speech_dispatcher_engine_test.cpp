// SPDX-License-Identifier: GPL-3.0-or-later
// The speech-dispatcher engine against a fake daemon: the exact SSIP exchange, busy, stop, a dead daemon.
#include "speech/engines/speech_dispatcher_engine.h"
#include "tests/speech/engines/fake_ssip_server.h"
#include "tests/speech/speech_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Lines = std::vector<std::string>;
using speech::EngineChoice;
using speech::SpeechDispatcherEngine;

const Lines greeting { "SET SELF CLIENT_NAME user:corvante:main", "SET SELF NOTIFICATION ALL on", "LIST SYNTHESIS_VOICES" };

Lines operator+(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class SpeechDispatcherEngineTest : public ::testing::Test {
protected:
    std::unique_ptr<SpeechDispatcherEngine> open(EngineChoice choice)
    {
        return SpeechDispatcherEngine::open(choice, server.socket_path().string());
    }
    // Waits for the daemon's events to reach the engine.
    bool becomes_idle(SpeechDispatcherEngine& engine)
    {
        for (int pass = 0; pass < 200; ++pass) {
            if (!engine.busy(false))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    test_support::ScratchFolder temp;
    speech_test::FakeSsipServer server { temp.path() / "speechd.sock" };
};

TEST_F(SpeechDispatcherEngineTest, OpeningChoosesTheVoiceAndMapsSpeedAndPitch)
{
    struct Case {
        EngineChoice choice;
        Lines settings;
        std::string voice;
    };
    const Case cases[] = {
        { { 2, 5, -3, 54 }, { "SET SELF SYNTHESIS_VOICE Ricardo", "SET SELF RATE 50", "SET SELF PITCH -30" }, "Ricardo" },
        { { 3, 10, 10, 54 }, { "SET SELF SYNTHESIS_VOICE Kate", "SET SELF RATE 100", "SET SELF PITCH 100" }, "Kate" },
        { { 1, -10, -10, 54 }, { "SET SELF SYNTHESIS_VOICE Joana", "SET SELF RATE -100", "SET SELF PITCH -100" }, "Joana" },
        // A voice the module does not list is the first, at the default speed.
        { { 4, 7, 2, 54 }, { "SET SELF SYNTHESIS_VOICE Joana", "SET SELF RATE 0", "SET SELF PITCH 20" }, "Joana" },
        { { 0, 7, 0, 54 }, { "SET SELF SYNTHESIS_VOICE Joana", "SET SELF RATE 0", "SET SELF PITCH 0" }, "Joana" },
    };
    size_t seen = 0;
    for (const auto& test : cases) {
        auto engine = open(test.choice);
        ASSERT_TRUE(engine) << test.voice;
        EXPECT_EQ(engine->voice(), test.voice);
        EXPECT_EQ(engine->voices(), (Lines { "Joana", "Ricardo", "Kate" }));
        Lines expected = greeting + test.settings;
        auto lines = server.received();
        EXPECT_EQ(Lines(lines.begin() + static_cast<long>(seen), lines.end()), expected) << test.voice;
        engine.reset();
        ASSERT_TRUE(server.wait_received(seen + expected.size() + 1));
        EXPECT_EQ(server.received().back(), "QUIT");
        seen = server.received().size();
    }
}

TEST_F(SpeechDispatcherEngineTest, AModuleWithoutVoicesSpeaksWithItsOwn)
{
    server.voices.clear();
    auto engine = open({ 2, 3, 0, 54 });
    ASSERT_TRUE(engine);
    EXPECT_EQ(server.received(), (greeting + Lines { "SET SELF RATE 0", "SET SELF PITCH 0" }));
}

TEST_F(SpeechDispatcherEngineTest, SpeaksInUtf8AndIsBusyUntilTheEndEvent)
{
    auto engine = open({ 1, 0, 0, 54 });
    ASSERT_TRUE(engine);
    size_t before = server.received().size();
    // Windows-1252 "ação", a line beginning with a full stop, and CR LF.
    // Blank text is not sent at all.
    engine->speak(" \r\n");
    EXPECT_EQ(server.received().size(), before);
    engine->speak("a\xE7\xE3o\r\n.fim");
    auto lines = server.received();
    EXPECT_EQ(Lines(lines.begin() + static_cast<long>(before), lines.end()), (Lines { "SPEAK", "DATA a\xC3\xA7\xC3\xA3o|..fim" }));
    EXPECT_TRUE(engine->busy(false));
    server.send("701-1\r\n701-7\r\n701 BEGIN\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(engine->busy(false));
    server.send("702-1\r\n702-7\r\n702 END\r\n");
    EXPECT_TRUE(becomes_idle(*engine));

    // Two messages: busy until both have ended, in either order.
    engine->speak("um");
    engine->speak("dois");
    server.send("702-3\r\n702-7\r\n702 END\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(engine->busy(false));
    server.send("703-2\r\n703-7\r\n703 CANCELED\r\n");
    EXPECT_TRUE(becomes_idle(*engine));
    EXPECT_FALSE(engine->lost());
}

TEST_F(SpeechDispatcherEngineTest, AnEndBeforeItsReplyStillEndsTheMessage)
{
    auto engine = open({ 1, 0, 0, 54 });
    ASSERT_TRUE(engine);
    server.end_before_reply = true;
    engine->speak("curta");
    EXPECT_FALSE(engine->busy(false));
    server.end_before_reply = false;
    engine->speak("longa");
    EXPECT_TRUE(engine->busy(false));
}

TEST_F(SpeechDispatcherEngineTest, StopCancelsAndIsIdleAtOnce)
{
    auto engine = open({ 1, 0, 0, 54 });
    ASSERT_TRUE(engine);
    engine->speak("uma frase longa");
    ASSERT_TRUE(engine->busy(false));
    engine->stop();
    EXPECT_EQ(server.received().back(), "CANCEL SELF");
    EXPECT_FALSE(engine->busy(false));
    // The cancellation's late event changes nothing.
    server.send("703-1\r\n703-7\r\n703 CANCELED\r\n");
    engine->speak("outra");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(engine->busy(false));
}

TEST_F(SpeechDispatcherEngineTest, ADeadDaemonLeavesTheEngineLostAndIdle)
{
    auto engine = open({ 1, 0, 0, 54 });
    ASSERT_TRUE(engine);
    engine->speak("antes");
    ASSERT_TRUE(engine->busy(false));
    server.die();
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(becomes_idle(*engine));
    EXPECT_TRUE(engine->lost());
    engine->speak("depois");
    engine->stop();
    EXPECT_FALSE(engine->busy(false));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    // Nobody answers a new connection either.
    EXPECT_FALSE(open({ 1, 0, 0, 54 }));
}

TEST_F(SpeechDispatcherEngineTest, ASilentDaemonFailsTheOpenWithinTheReplyTimeout)
{
    server.answer = false;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(open({ 1, 0, 0, 54 }));
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(speech::SsipConnection::reply_timeout_ms - 100));
    EXPECT_LT(waited, std::chrono::milliseconds(speech::SsipConnection::reply_timeout_ms + 1000));
    EXPECT_EQ(server.received(), (Lines { "SET SELF CLIENT_NAME user:corvante:main" }));
}

TEST_F(SpeechDispatcherEngineTest, NoDaemonFailsTheOpenAtOnce)
{
    EXPECT_FALSE(SpeechDispatcherEngine::open({ 1, 0, 0, 54 }, (temp.path() / "nobody.sock").string()));
    EXPECT_FALSE(SpeechDispatcherEngine::open({ 1, 0, 0, 54 }, std::string(200, 'x')));
}

// A real speech-dispatcher, started here with its dummy output module on a
// socket of the test's own, and stopped by its process number.
class RealDaemon {
public:
    static constexpr const char* program = "/usr/bin/speech-dispatcher";
    static constexpr const char* dummy_module = "/usr/lib/speech-dispatcher-modules/sd_dummy";

    explicit RealDaemon(const std::filesystem::path& folder)
        : m_socket(folder / "real.sock")
    {
        std::filesystem::create_directories(folder / "conf");
        std::filesystem::create_directories(folder / "log");
        sound_test::write_text_file(folder / "conf/speechd.conf", "AddModule \"dummy\" \"sd_dummy\" \"\"\nDefaultModule dummy\n"
            // The dummy module gives up without a sound server unless it plays through libao.
            "AudioOutputMethod \"libao\"\n");
        std::string socket = m_socket.string(), conf = (folder / "conf").string(), log = (folder / "log").string(),
                    pid = (folder / "pid").string();
        std::vector<const char*> argv { program, "-s", "-t", "0", "-c", "unix_socket", "-S", socket.c_str(), "-C", conf.c_str(),
            "-L", log.c_str(), "-P", pid.c_str(), nullptr };
        // Its chatter goes to its log folder, not into the test's output.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&m_pid, program, &actions, nullptr, const_cast<char* const*>(argv.data()), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~RealDaemon()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        for (int pass = 0; pass < 100; ++pass) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    // Waits up to five seconds for the daemon's socket.
    bool ready() const
    {
        for (int pass = 0; pass < 250 && m_pid > 0; ++pass) {
            if (std::filesystem::exists(m_socket))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    std::string socket() const { return m_socket.string(); }

private:
    std::filesystem::path m_socket;
    pid_t m_pid = -1;
};

TEST(SpeechDispatcherEngineReal, SpeaksAndStopsThroughTheDummyModule)
{
    if (::access(RealDaemon::program, X_OK) != 0 || ::access(RealDaemon::dummy_module, X_OK) != 0)
        GTEST_SKIP() << "speech-dispatcher with its dummy module is not installed";
    test_support::ScratchFolder temp;
    RealDaemon daemon(temp.path());
    ASSERT_TRUE(daemon.ready());
    auto engine = SpeechDispatcherEngine::open({ 1, 3, 2, 54 }, daemon.socket());
    ASSERT_TRUE(engine);
    EXPECT_EQ(engine->voices(), (Lines { "dummy" }));
    EXPECT_EQ(engine->voice(), "dummy");
    auto idle_soon = [&] {
        for (int pass = 0; pass < 500; ++pass) {
            if (!engine->busy(false))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    };
    engine->speak("Ol\xE1, mundo.");
    EXPECT_TRUE(idle_soon());
    engine->speak("De novo.");
    engine->stop();
    EXPECT_FALSE(engine->busy(false));
    EXPECT_FALSE(engine->lost());
}

}
