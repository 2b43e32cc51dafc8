// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the headless event source: keys one wait at a time, timed keys, posts.
#include "platform/headless/scripted_event_source.h"

#include <gtest/gtest.h>

namespace {

using platform::Event;
using platform::KeySupply;

struct Fixture {
    explicit Fixture(std::string_view keys)
        : source(clock, false, *platform::parse_key_script(keys))
    {
    }
    // Every event pending now, by type.
    std::vector<Event> drain()
    {
        std::vector<Event> events;
        while (auto event = source.next_event())
            events.push_back(*event);
        return events;
    }
    platform::VirtualClock clock;
    platform::ScriptedEventSource source;
};

TEST(ScriptedEventSource, KeysArriveOnlyWhenRequested)
{
    Fixture test("ab");
    EXPECT_TRUE(test.drain().empty());
    test.source.wait(1000);
    EXPECT_TRUE(test.drain().empty()) << "a timed wait must not let a key in";
    EXPECT_EQ(test.source.request_key(), KeySupply::Coming);
    auto events = test.drain();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].type, Event::Type::Character);
    EXPECT_EQ(events[1].character, 'a');
    EXPECT_EQ(test.source.keys_left(), 1u);
    EXPECT_EQ(test.source.request_key(), KeySupply::Coming);
    EXPECT_EQ(test.drain()[1].character, 'b');
    EXPECT_FALSE(test.source.keys_may_come());
    EXPECT_EQ(test.source.request_key(), KeySupply::Exhausted);
}

TEST(ScriptedEventSource, ARequestLetsInOneKeyOnly)
{
    Fixture test("ab");
    EXPECT_EQ(test.source.request_key(), KeySupply::Coming);
    EXPECT_EQ(test.source.request_key(), KeySupply::Coming);
    EXPECT_EQ(test.drain().size(), 3u);
    EXPECT_EQ(test.source.keys_left(), 1u);
}

TEST(ScriptedEventSource, TimedKeyArrivesByItselfOnTheProgramsClock)
{
    Fixture test("{Wait 500}x");
    test.source.wait(200);
    EXPECT_EQ(test.clock.monotonic_ms(), 200u);
    EXPECT_TRUE(test.drain().empty());
    // A longer wait stops at the key's time, not at its own timeout.
    test.source.wait(10000);
    EXPECT_EQ(test.clock.monotonic_ms(), 500u);
    auto events = test.drain();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].character, 'x');
}

TEST(ScriptedEventSource, TimedKeyCountsFromThePreviousKey)
{
    Fixture test("a{Wait 100}b");
    test.clock.pass_ms(1000);
    test.source.request_key();
    test.drain();
    test.clock.pass_ms(99);
    EXPECT_TRUE(test.drain().empty());
    test.clock.pass_ms(1);
    EXPECT_EQ(test.drain().size(), 3u);
}

TEST(ScriptedEventSource, AWaitForAKeyRunsTheClockToATimedKey)
{
    Fixture test("{Wait 250}q");
    EXPECT_EQ(test.source.request_key(), KeySupply::Coming);
    EXPECT_TRUE(test.drain().empty());
    test.source.wait(-1);
    EXPECT_EQ(test.clock.monotonic_ms(), 250u);
    EXPECT_EQ(test.drain().size(), 3u);
}

TEST(ScriptedEventSource, ModifiersAreHeldAsTheKeyIsTaken)
{
    Fixture test("{Ctrl+Shift+F1}a");
    test.source.request_key();
    test.drain();
    EXPECT_EQ(test.source.held_modifiers(), platform::modifier::ctrl | platform::modifier::shift);
    test.source.request_key();
    test.drain();
    EXPECT_EQ(test.source.held_modifiers(), 0);
}

TEST(ScriptedEventSource, PostedEventsComeFirstAndEndAWait)
{
    Fixture test("");
    Event posted;
    posted.type = Event::Type::Posted;
    posted.posted_kind = platform::posted::first_user;
    posted.posted_value = 42;
    test.source.post(posted);
    // Nothing else could end this wait: it must see the post and return.
    test.source.wait(-1);
    auto events = test.drain();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].posted_value, 42);
}

}

namespace {

// A braille display types from outside the script: once the scripted keys
// are gone, a wait for a key must wait for it instead of ending the run.
TEST(ScriptedEventSource, OutsideKeysKeepTheSupplyComing)
{
    Fixture test("a");
    test.source.set_outside_keys(true);
    EXPECT_EQ(test.source.request_key(), KeySupply::Coming);
    test.drain();
    EXPECT_EQ(test.source.request_key(), KeySupply::Coming);
    EXPECT_TRUE(test.source.keys_may_come());
    test.source.set_outside_keys(false);
    EXPECT_EQ(test.source.request_key(), KeySupply::Exhausted);
    EXPECT_FALSE(test.source.keys_may_come());
}

}
