// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of RecordingAccessibility: the description file, points, and events through the queue.
#include "platform/headless/recording_accessibility.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::AccessibleEvent;

constexpr const char* description = "# a window with a check box and a button on it\n"
                                    "point  | 0 0 200 100   | 9  | janela | Exemplo |  -  |\n"
                                    "point  | 10 20 50 10   | 44 | caixa de sele\xC3\xA7\xC3\xA3o | Negrito | checked |\n"
                                    "point  | 10 40 50 10   | 43 | bot\xC3\xA3o | OK | unavailable gone |\n"
                                    "\n"
                                    "focus  | 1 2 3 4       | 42 | texto | Nome | - | Ana\n"
                                    "value  | 5 6 7 8       | 51 | controle deslizante | Volume | - | 40\n"
                                    "window | 0 0 200 100   | 9  | janela | Exemplo | gone |\n"
                                    "state  | 10 20 50 10   | 44 | caixa | Negrito | checked unavailable |\n";

TEST(RecordingAccessibility, ReadsEveryFieldOfADescription)
{
    auto objects = platform::parse_accessible_objects(description);
    ASSERT_TRUE(objects) << objects.error().message;
    ASSERT_EQ(objects->size(), 7u);
    const auto& box = (*objects)[1];
    EXPECT_TRUE(box.at_point);
    EXPECT_EQ(box.object.role_code, 44u);
    EXPECT_EQ(box.object.role_text, "caixa de sele\xC3\xA7\xC3\xA3o");
    EXPECT_EQ(box.object.name, "Negrito");
    EXPECT_EQ(box.object.area.left, 10);
    EXPECT_EQ(box.object.area.top, 20);
    EXPECT_EQ(box.object.area.width, 50);
    EXPECT_EQ(box.object.area.height, 10);
    EXPECT_TRUE(box.object.checked);
    EXPECT_FALSE(box.object.unavailable);
    EXPECT_TRUE((*objects)[2].gone);
    EXPECT_TRUE((*objects)[2].object.unavailable);
    const auto& slider = (*objects)[4];
    EXPECT_FALSE(slider.at_point);
    EXPECT_EQ(slider.event, AccessibleEvent::value_change);
    EXPECT_EQ(slider.object.value, "40");
    EXPECT_EQ((*objects)[5].event, AccessibleEvent::foreground);
    EXPECT_EQ((*objects)[6].event, AccessibleEvent::state_change);
}

TEST(RecordingAccessibility, NamesTheLineThatIsNotValid)
{
    const char* wrong[] = {
        "somewhere | 0 0 1 1 | 9 | a | b | - | c",
        "point | 0 0 1 | 9 | a | b | - | c",
        "point | 0 0 -1 1 | 9 | a | b | - | c",
        "point | 0 0 1 1 | nine | a | b | - | c",
        "point | 0 0 1 1 | -9 | a | b | - | c",
        "point | 0 0 1 1 | 9 | a | b | pressed | c",
        "point | 0 0 1 1 | 9 | a | b | -",
        "point | 0 0 1 1 | 9 | a | b | - | c | d",
    };
    for (const char* line : wrong) {
        auto objects = platform::parse_accessible_objects(std::string("# first\n\n") + line + "\n");
        ASSERT_FALSE(objects) << line;
        EXPECT_EQ(objects.error().message, "accessible objects: line 3 is not valid") << line;
    }
}

TEST(RecordingAccessibility, FindsTheTopmostObjectAtAPoint)
{
    auto objects = platform::parse_accessible_objects(description);
    ASSERT_TRUE(objects);
    platform::RecordingAccessibility accessibility(std::move(*objects));
    EXPECT_EQ(accessibility.object_at(10, 20)->name, "Negrito");
    EXPECT_EQ(accessibility.object_at(59, 29)->name, "Negrito");
    // Just outside the box lies the window.
    EXPECT_EQ(accessibility.object_at(60, 29)->name, "Exemplo");
    EXPECT_EQ(accessibility.object_at(59, 30)->name, "Exemplo");
    // The gone button hides what lies below it; outside the window is nothing.
    EXPECT_FALSE(accessibility.object_at(20, 45));
    EXPECT_FALSE(accessibility.object_at(200, 50));
    EXPECT_FALSE(accessibility.object_at(-1, 50));
}

TEST(RecordingAccessibility, QueuesItsEventsWhenWatchingStarts)
{
    auto objects = platform::parse_accessible_objects(description);
    ASSERT_TRUE(objects);
    platform::RecordingAccessibility accessibility(std::move(*objects));
    AccessibleEvent event = AccessibleEvent::focus;
    EXPECT_FALSE(accessibility.next_event_object(event));
    accessibility.start_events();
    // Starting again while watching queues nothing twice.
    accessibility.start_events();
    ASSERT_EQ(accessibility.next_event_object(event)->name, "Nome");
    EXPECT_EQ(event, AccessibleEvent::focus);
    ASSERT_EQ(accessibility.next_event_object(event)->name, "Volume");
    EXPECT_EQ(event, AccessibleEvent::value_change);
    // The window's event is taken, but its object cannot be read.
    EXPECT_FALSE(accessibility.next_event_object(event));
    ASSERT_EQ(accessibility.next_event_object(event)->name, "Negrito");
    EXPECT_EQ(event, AccessibleEvent::state_change);
    EXPECT_FALSE(accessibility.next_event_object(event));
}

TEST(RecordingAccessibility, KeepsTheNewestHundredEvents)
{
    std::string many;
    for (int i = 1; i <= 130; ++i)
        many += "focus | 0 0 1 1 | 42 | texto | campo " + std::to_string(i) + " | - |\n";
    auto objects = platform::parse_accessible_objects(many);
    ASSERT_TRUE(objects);
    platform::RecordingAccessibility accessibility(std::move(*objects));
    accessibility.start_events();
    AccessibleEvent event;
    for (int i = 31; i <= 130; ++i)
        ASSERT_EQ(accessibility.next_event_object(event)->name, "campo " + std::to_string(i));
    EXPECT_FALSE(accessibility.next_event_object(event));
}

}
