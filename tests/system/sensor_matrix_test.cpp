// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the sensor matrix scan through a simulated printer port.
#include "system/sensor_matrix.h"

#include "tests/support/fake_parallel_port.h"

#include <gtest/gtest.h>

using namespace sys;

TEST(SensorMatrix, ReportsTheFirstClosedSwitch)
{
    platform::FakeSensorMatrix wiring;
    platform::FakePortOpener opener(&wiring);
    SensorMatrix sensor(opener);
    ASSERT_TRUE(sensor.open());
    sensor.scan();
    EXPECT_EQ(sensor.first_active(), 0);

    wiring.set_active(9, true);
    wiring.set_active(6, true);
    sensor.scan();
    EXPECT_EQ(sensor.first_active(), 6);

    wiring.set_active(6, false);
    sensor.scan();
    EXPECT_EQ(sensor.first_active(), 9);

    wiring.set_active(9, false);
    wiring.set_active(32, true);
    sensor.scan();
    EXPECT_EQ(sensor.first_active(), 32);
    EXPECT_EQ(opener.attempts(), 1);
}

TEST(SensorMatrix, ComparesRowsWithTheRestValueReadAtStart)
{
    platform::FakeSensorMatrix wiring;
    wiring.set_rest_status(0xA8);
    platform::FakePortOpener opener(&wiring);
    SensorMatrix sensor(opener);
    ASSERT_TRUE(sensor.open());
    wiring.set_active(3, true);
    sensor.scan();
    EXPECT_EQ(sensor.first_active(), 3);
}

TEST(SensorMatrix, WithoutAPortEveryScanAsksAgainAndFindsNothing)
{
    platform::FakePortOpener opener(nullptr);
    SensorMatrix sensor(opener);
    EXPECT_FALSE(sensor.open());
    sensor.scan();
    EXPECT_FALSE(sensor.open());
    EXPECT_EQ(sensor.first_active(), 0);
    EXPECT_EQ(opener.attempts(), 2);
}
