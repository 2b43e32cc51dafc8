// SPDX-License-Identifier: GPL-3.0-or-later
// SEJA's value words that read the clock and the program's arguments, and RAND.
#include "interpreter/run_loop.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using test_support::TestRuntime;

TEST(ValueWords, DateTimeAndWeekdayFromTheClock)
{
    TestRuntime test;
    test.ports.time = { 2025, 3, 7, 5, 9, 5, 3, 99 };
    ASSERT_TRUE(test.execute("seja a data"));
    EXPECT_EQ(test.variable("a"), "07/03/2025");
    ASSERT_TRUE(test.execute("seja a = Hora"));
    EXPECT_EQ(test.variable("a"), "09:05:03");
    const char* names[] = { "Domingo", "Segunda", "Ter\xE7" "a", "Quarta", "Quinta", "Sexta", "S\xE1" "bado" };
    for (int day = 0; day < 7; ++day) {
        test.ports.time.weekday = day;
        ASSERT_TRUE(test.execute("seja a dia"));
        EXPECT_EQ(test.variable("a"), names[day]);
    }
}

TEST(ValueWords, TempoCountsCentisecondsSinceTheStartAcrossDays)
{
    TestRuntime test;
    test.ports.time = { 2025, 3, 7, 6, 23, 0, 0, 0 }; // Saturday 23:00
    interpreter::reset_interpreter(test.runtime);
    test.ports.time.second = 1;
    test.ports.time.hundredths = 50;
    ASSERT_TRUE(test.execute("seja a tempo"));
    EXPECT_EQ(test.variable("a"), "150");
    // The next day (Sunday) at the same time: one day of centiseconds.
    test.ports.time = { 2025, 3, 8, 0, 23, 0, 0, 0 };
    ASSERT_TRUE(test.execute("seja a TEMPO"));
    EXPECT_EQ(test.variable("a"), std::to_string(24 * 360000));
    // Earlier in the day than the start, on the start's weekday: negative.
    test.ports.time = { 2025, 3, 7, 6, 22, 0, 0, 0 };
    ASSERT_TRUE(test.execute("seja a tempo"));
    EXPECT_EQ(test.variable("a"), "-360000");
}

TEST(ValueWords, ParamsCountsTheArgumentsAndEncodesSpaces)
{
    TestRuntime test;
    ASSERT_TRUE(test.execute("seja a params"));
    EXPECT_EQ(test.variable("a"), "0");
    test.runtime.arguments = { "um", "dois tr\xEAs", "", "a  b" };
    ASSERT_TRUE(test.execute("seja a PARAMS"));
    EXPECT_EQ(test.variable("a"), "4 um dois%20tr\xEAs  a%20%20b");
}

TEST(Random, StaysBelowTheLimitAndRepeatsFromTheFixedSeed)
{
    TestRuntime first, second;
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(first.execute("seja a rand 10"));
        ASSERT_TRUE(second.execute("seja a rand 10"));
        EXPECT_EQ(first.variable("a"), second.variable("a"));
        int value = std::stoi(first.variable("a"));
        EXPECT_GE(value, 0);
        EXPECT_LT(value, 10);
        seen.insert(first.variable("a"));
    }
    EXPECT_EQ(seen.size(), 10u);
    // RANDOMIZA reseeds from the world port.
    first.ports.seed = 99;
    second.ports.seed = 99;
    ASSERT_TRUE(first.execute("randomiza"));
    ASSERT_TRUE(second.execute("randomiza"));
    ASSERT_TRUE(first.execute("seja a rand 1000000"));
    ASSERT_TRUE(second.execute("seja a rand 1000000"));
    EXPECT_EQ(first.variable("a"), second.variable("a"));
    ASSERT_TRUE(first.execute("seja a rand -5"));
    EXPECT_EQ(first.variable("a"), "0");
}

}
