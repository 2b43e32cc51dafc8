// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of AccessibleEventQueue: order, its 100 entries, and the oldest giving way.
#include "platform/accessible_event_queue.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using platform::accessible_event_queue_size;

TEST(AccessibleEventQueue, GivesEventsBackInTheirOrderThenNothing)
{
    platform::AccessibleEventQueue<int> queue;
    EXPECT_FALSE(queue.take());
    for (int event = 1; event <= 3; ++event)
        queue.push(event);
    EXPECT_EQ(queue.size(), 3u);
    EXPECT_EQ(queue.take(), 1);
    queue.push(4);
    EXPECT_EQ(queue.take(), 2);
    EXPECT_EQ(queue.take(), 3);
    EXPECT_EQ(queue.take(), 4);
    EXPECT_FALSE(queue.take());
    EXPECT_TRUE(queue.empty());
}

TEST(AccessibleEventQueue, KeepsTheNewestHundredWhenTheyAreNotTaken)
{
    // Exactly full, one over, and many times round the ring: never empty
    // while events wait, and always the newest ones.
    for (int pushed : { 100, 101, 250 }) {
        platform::AccessibleEventQueue<int> queue;
        for (int event = 1; event <= pushed; ++event)
            queue.push(event);
        ASSERT_EQ(queue.size(), accessible_event_queue_size) << pushed;
        for (int expected = pushed - 99; expected <= pushed; ++expected)
            ASSERT_EQ(queue.take(), expected) << pushed;
        EXPECT_FALSE(queue.take()) << pushed;
    }
}

TEST(AccessibleEventQueue, LetsGoOfWhatItHeldWhenTakenDroppedOrCleared)
{
    // Backends keep references to objects in the entries: each must be let
    // go exactly when the entry leaves the queue.
    auto object = std::make_shared<int>(7);
    platform::AccessibleEventQueue<std::shared_ptr<int>> queue;
    for (size_t i = 0; i < accessible_event_queue_size; ++i)
        queue.push(object);
    EXPECT_EQ(object.use_count(), 101);
    queue.push(std::make_shared<int>(8));
    EXPECT_EQ(object.use_count(), 100);
    {
        auto taken = queue.take();
        ASSERT_TRUE(taken);
        EXPECT_EQ(object.use_count(), 100);
    }
    EXPECT_EQ(object.use_count(), 99);
    queue.clear();
    EXPECT_EQ(object.use_count(), 1);
    EXPECT_TRUE(queue.empty());
}

}
