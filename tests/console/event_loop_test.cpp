// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the event loop: posted handlers, pollers, timed waits and the program's end.
#include "console/event_loop.h"
#include "platform/headless/scripted_event_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A poller that has something to report every `period_ms` of the clock.
class PeriodicPoller final : public console::EventPoller {
public:
    PeriodicPoller(platform::Clock& clock, int period_ms)
        : m_clock(clock)
        , m_period_ms(period_ms)
    {
    }
    void poll() override { polled_at.push_back(m_clock.monotonic_ms()); }
    int next_report_ms() const override
    {
        return m_period_ms - static_cast<int>(m_clock.monotonic_ms() % static_cast<uint64_t>(m_period_ms));
    }
    std::vector<uint64_t> polled_at;

private:
    platform::Clock& m_clock;
    int m_period_ms;
};

// Records what reaches the loop's target, in order.
class RecordingTarget final : public console::EventTarget {
public:
    void handle_event(const platform::Event& event) override
    {
        seen.push_back(event.type == platform::Event::Type::Character ? "char" : "other");
    }
    void before_wait() override { seen.push_back("wait"); }
    void program_ending() override { seen.push_back("ending"); }
    std::vector<std::string> seen;
};

struct LoopFixture {
    platform::VirtualClock clock;
    platform::ScriptedEventSource events { clock, false, {} };
    console::EventLoop loop { events, clock };
};

platform::Event posted(int kind, int64_t value)
{
    platform::Event event;
    event.type = platform::Event::Type::Posted;
    event.posted_kind = kind;
    event.posted_value = value;
    return event;
}

TEST(EventLoop, PostedEventsReachTheirHandlersAndNotTheTarget)
{
    LoopFixture test;
    RecordingTarget target;
    test.loop.set_target(&target);
    std::vector<int64_t> values;
    test.loop.set_posted_handler(platform::posted::first_user + 3, [&](int64_t value) { values.push_back(value); });
    for (int64_t value : { 5, 9 })
        test.events.post(posted(platform::posted::first_user + 3, value));
    // A kind nobody handles is dropped.
    test.events.post(posted(platform::posted::first_user + 4, 1));
    test.loop.wait_event(0);
    EXPECT_EQ(values, (std::vector<int64_t> { 5, 9 }));
    EXPECT_TRUE(target.seen.empty());
}

TEST(EventLoop, OtherEventsGoToTheTargetWithoutAWait)
{
    LoopFixture test;
    RecordingTarget target;
    test.loop.set_target(&target);
    platform::Event character;
    character.type = platform::Event::Type::Character;
    test.events.post(character);
    test.loop.wait_event(500);
    EXPECT_EQ(target.seen, (std::vector<std::string> { "char" }));
    EXPECT_EQ(test.clock.monotonic_ms(), 0u) << "an event was pending, so the loop did not sleep";
    test.loop.wait_event(500);
    EXPECT_EQ(target.seen, (std::vector<std::string> { "char", "wait" }));
    EXPECT_EQ(test.clock.monotonic_ms(), 500u);
}

TEST(EventLoop, APollerShortensTheWaitToItsNextReport)
{
    LoopFixture test;
    PeriodicPoller poller(test.clock, 30);
    test.loop.add_poller(&poller);
    test.loop.wait_event(1000);
    EXPECT_EQ(test.clock.monotonic_ms(), 30u);
    ASSERT_FALSE(poller.polled_at.empty());
    EXPECT_EQ(poller.polled_at.back(), 30u);
}

TEST(EventLoop, ADelayLetsExactlyItsTimePassAndPollsOnTheWay)
{
    LoopFixture test;
    PeriodicPoller poller(test.clock, 40);
    test.loop.add_poller(&poller);
    test.loop.delay(100);
    EXPECT_EQ(test.clock.monotonic_ms(), 100u);
    for (uint64_t due : { 40u, 80u })
        EXPECT_NE(std::find(poller.polled_at.begin(), poller.polled_at.end(), due), poller.polled_at.end()) << due;
    // Negative delays pass no time.
    test.loop.delay(-5);
    EXPECT_EQ(test.clock.monotonic_ms(), 100u);
}

TEST(EventLoop, TheEndIsAskedForOnceAndCutsDelaysShort)
{
    LoopFixture test;
    RecordingTarget target;
    test.loop.set_target(&target);
    int heard = 0;
    test.loop.set_end_listener([&] {
        target.seen.push_back("listener");
        ++heard;
    });
    EXPECT_FALSE(test.loop.end_requested());
    test.loop.request_end(7);
    // A second end (the keys running out while the window closes) changes
    // nothing: the first status stands, and nobody hears of it again.
    test.loop.request_end(3);
    EXPECT_TRUE(test.loop.end_requested());
    EXPECT_EQ(test.loop.end_status(), 7);
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(target.seen, (std::vector<std::string> { "ending", "listener" }));
    uint64_t before = test.clock.monotonic_ms();
    test.loop.delay(5000);
    EXPECT_EQ(test.clock.monotonic_ms(), before);
}

}
