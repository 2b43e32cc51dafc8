// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the console's picture: kept, drawn over the text, and removed.
#include "tests/console/console_fixture.h"

#include <gtest/gtest.h>

namespace {

TEST(ConsolePicture, KeepsItsPictureUntilRemoved)
{
    platform::PictureImage image;
    image.width = 2;
    image.height = 1;
    image.pixels = { 0xFF0000, 0x00FF00 };

    console_test::ConsoleFixture test;
    EXPECT_FALSE(test.console.has_picture());
    test.console.set_picture(image);
    EXPECT_TRUE(test.console.has_picture());
    EXPECT_FALSE(test.screen.has_picture()); // not drawn until placed
    test.console.draw_picture(10, 20);
    EXPECT_TRUE(test.screen.has_picture());
    test.console.remove_picture();
    EXPECT_FALSE(test.console.has_picture());
    EXPECT_FALSE(test.screen.has_picture());
}

}
