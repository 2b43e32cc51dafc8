// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the engine session: settling after opening, stopping, closing.
#include "speech/engine_session.h"
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An engine that stays busy for `busy_polls` polls, and records what it is
// told in `calls`.
class ScriptedEngine final : public speech::SpeechEngine {
public:
    ScriptedEngine(std::vector<std::string>& calls, int busy_polls)
        : m_calls(calls)
        , m_busy_polls(busy_polls)
    {
    }
    void speak(std::string_view text) override { m_calls.push_back("speak " + std::string(text)); }
    bool busy(bool) override
    {
        if (m_busy_polls < 0)
            return true;
        if (m_busy_polls == 0)
            return false;
        --m_busy_polls;
        return true;
    }
    void stop() override { m_calls.emplace_back("stop"); }

private:
    std::vector<std::string>& m_calls;
    int m_busy_polls;
};

class ScriptedEngines final : public speech::EngineFactory {
public:
    std::unique_ptr<speech::SpeechEngine> open_engine(const speech::EngineChoice& choice) override
    {
        if (choice.type == 0)
            return nullptr;
        return std::make_unique<ScriptedEngine>(calls, busy_polls);
    }
    std::vector<std::string> calls;
    // Negative: busy for ever.
    int busy_polls = 0;
};

struct SessionTest {
    platform::VirtualClock clock;
    ScriptedEngines engines;
    speech::EngineSession session { engines, clock };
    int slept_ms = 0;

    void open(int type)
    {
        speech::EngineChoice choice;
        choice.type = type;
        session.open(choice, [this](int milliseconds) {
            slept_ms += milliseconds;
            clock.pass_ms(static_cast<uint64_t>(milliseconds));
        });
    }
};

TEST(EngineSession, WaitsForANewEngineToSettle)
{
    SessionTest test;
    test.engines.busy_polls = 3;
    test.open(54);
    EXPECT_TRUE(test.session.is_open());
    EXPECT_EQ(test.slept_ms, 150);
    EXPECT_FALSE(test.session.busy());
}

TEST(EngineSession, GivesUpSettlingAfterTenSeconds)
{
    SessionTest test;
    test.engines.busy_polls = -1;
    test.open(54);
    EXPECT_TRUE(test.session.is_open());
    EXPECT_EQ(test.slept_ms, 10000);
}

TEST(EngineSession, AnEngineThatCannotOpenLeavesNoneButKeepsTheType)
{
    SessionTest test;
    test.open(0);
    EXPECT_FALSE(test.session.is_open());
    EXPECT_EQ(test.session.type(), 0);
    EXPECT_EQ(test.slept_ms, 0);
    // Without an engine, speaking and stopping do nothing.
    test.session.speak("nada");
    test.session.stop();
    EXPECT_TRUE(test.engines.calls.empty());
}

TEST(EngineSession, AnIdleEngineIsStoppedOnlyWhenItsTypeNeedsIt)
{
    SessionTest test;
    test.open(54);
    test.session.speak("ola");
    test.session.stop();
    EXPECT_EQ(test.engines.calls, (std::vector<std::string> { "speak ola" }));

    SessionTest phoneme_line;
    phoneme_line.open(3);
    phoneme_line.session.stop();
    EXPECT_EQ(phoneme_line.engines.calls, (std::vector<std::string> { "stop" }));

    test.session.close();
    EXPECT_FALSE(test.session.is_open());
    EXPECT_EQ(test.session.type(), 54);
}

TEST(EngineSession, RecordingsWaitOnceForEachUtterance)
{
    SessionTest test;
    int waits = 0;
    auto wait = [&] { ++waits; };
    // Nothing is known of what came before the first recording: it waits.
    test.session.wait_after_speech(wait);
    test.session.wait_after_speech(wait);
    EXPECT_EQ(waits, 1);
    // Without an engine the text is not spoken, so nothing is waited for.
    test.session.speak("nada");
    test.session.wait_after_speech(wait);
    EXPECT_EQ(waits, 1);
    test.open(54);
    test.session.speak("um");
    test.session.speak("dois");
    test.session.wait_after_speech(wait);
    test.session.wait_after_speech(wait);
    EXPECT_EQ(waits, 2);
}

}
