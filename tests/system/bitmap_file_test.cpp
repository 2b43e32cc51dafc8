// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of checking BMP files and of turning JPEG files into them.
#include "system/bitmap_file.h"

#include "tests/system/test_pictures.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace sys;

namespace {

std::string scratch_file(const char* name)
{
    auto folder = std::filesystem::temp_directory_path() / ("corvante-bitmap-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}

}

TEST(BitmapFile, JpegBecomesABottomUpBmpOfTheSameSize)
{
    auto colour = scratch_file("colour.jpg");
    ASSERT_TRUE(test_pictures::write_jpeg(colour, 33, 7, false));
    auto bmp = jpeg_to_bmp(colour);
    ASSERT_TRUE(bmp) << bmp.error().message;
    auto size = check_bmp(*bmp);
    ASSERT_TRUE(size) << size.error().message;
    EXPECT_EQ(size->width, 33);
    EXPECT_EQ(size->height, 7);
    EXPECT_EQ((*bmp)[28], 24);
    // Pixel (0, bottom row) is red: stored blue, green, red.
    size_t offset = (*bmp)[10];
    EXPECT_LT((*bmp)[offset], 60);
    EXPECT_GT((*bmp)[offset + 2], 200);
    // The last pixel of the row is blue.
    size_t last = offset + 32 * 3;
    EXPECT_GT((*bmp)[last], 200);
    EXPECT_LT((*bmp)[last + 2], 60);

    auto grey = scratch_file("grey.jpg");
    ASSERT_TRUE(test_pictures::write_jpeg(grey, 16, 16, true));
    auto grey_bmp = jpeg_to_bmp(grey);
    ASSERT_TRUE(grey_bmp);
    ASSERT_TRUE(check_bmp(*grey_bmp));
    EXPECT_EQ((*grey_bmp)[28], 8);
    std::filesystem::remove_all(std::filesystem::path(colour).parent_path());
}

TEST(BitmapFile, BrokenJpegIsAnErrorNotACrash)
{
    auto path = scratch_file("broken.jpg");
    ASSERT_TRUE(test_pictures::write_jpeg(path, 40, 40, false));
    std::filesystem::resize_file(path, 200);
    auto truncated = jpeg_to_bmp(path);
    // A cut file decodes with grey rows or fails; it never ends the process.
    if (truncated) {
        EXPECT_TRUE(check_bmp(*truncated));
    }
    auto text = scratch_file("text.jpg");
    ASSERT_TRUE(write_binary_file(text, { 'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'g' }));
    EXPECT_FALSE(jpeg_to_bmp(text));
    EXPECT_FALSE(jpeg_to_bmp(scratch_file("missing.jpg")));
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

TEST(BitmapFile, ForgedHeadersAreRefused)
{
    auto good = test_pictures::make_bmp(4, 3);
    ASSERT_TRUE(check_bmp(good));

    auto short_file = good;
    short_file.resize(short_file.size() - 1);
    EXPECT_FALSE(check_bmp(short_file));

    auto huge = good;
    huge[18] = 0xFF; huge[19] = 0xFF; huge[20] = 0xFF; huge[21] = 0x7F;
    EXPECT_FALSE(check_bmp(huge));

    auto core_header = good;
    core_header[14] = 12;
    EXPECT_FALSE(check_bmp(core_header));

    auto compressed = good;
    compressed[30] = 1;
    EXPECT_FALSE(check_bmp(compressed));

    auto odd_depth = good;
    odd_depth[28] = 7;
    EXPECT_FALSE(check_bmp(odd_depth));

    auto not_bmp = good;
    not_bmp[0] = 'X';
    EXPECT_FALSE(check_bmp(not_bmp));

    auto top_down = good;
    top_down[22] = 0xFD; top_down[23] = 0xFF; top_down[24] = 0xFF; top_down[25] = 0xFF; // -3
    auto size = check_bmp(top_down);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->height, 3);
}
