// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of reading BMP files and of turning JPEG files into them.
#include "system/bitmap_file.h"

#include "tests/system/test_pictures.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace sys;

namespace {

void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (int index = 0; index < 4; ++index)
        bytes[at + static_cast<size_t>(index)] = static_cast<uint8_t>(value >> (8 * index));
}

// A 2x2 picture of 24 bits, bottom row first as BMP files store it:
// red and green on top, blue and white below.
std::vector<uint8_t> small_bitmap(uint32_t header_size = 40)
{
    std::vector<uint8_t> bytes(54 + 2 * 8, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    put32(bytes, 10, 54);
    put32(bytes, 14, header_size);
    put32(bytes, 18, 2);
    put32(bytes, 22, 2);
    bytes[26] = 1;
    bytes[28] = 24;
    const uint8_t bottom[] = { 255, 0, 0, 255, 255, 255, 0, 0 }; // blue, white (BGR)
    const uint8_t top[] = { 0, 0, 255, 0, 255, 0, 0, 0 }; // red, green
    std::copy(std::begin(bottom), std::end(bottom), bytes.begin() + 54);
    std::copy(std::begin(top), std::end(top), bytes.begin() + 62);
    return bytes;
}

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
    auto size = decode_bmp(*bmp);
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
    ASSERT_TRUE(decode_bmp(*grey_bmp));
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
        EXPECT_TRUE(decode_bmp(*truncated));
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
    ASSERT_TRUE(decode_bmp(good));

    auto short_file = good;
    short_file.resize(short_file.size() - 1);
    EXPECT_FALSE(decode_bmp(short_file));

    auto huge = good;
    huge[18] = 0xFF; huge[19] = 0xFF; huge[20] = 0xFF; huge[21] = 0x7F;
    EXPECT_FALSE(decode_bmp(huge));

    auto core_header = good;
    core_header[14] = 12;
    EXPECT_FALSE(decode_bmp(core_header));

    auto compressed = good;
    compressed[30] = 1;
    EXPECT_FALSE(decode_bmp(compressed));

    auto odd_depth = good;
    odd_depth[28] = 7;
    EXPECT_FALSE(decode_bmp(odd_depth));

    auto not_bmp = good;
    not_bmp[0] = 'X';
    EXPECT_FALSE(decode_bmp(not_bmp));

    auto top_down = good;
    top_down[22] = 0xFD; top_down[23] = 0xFF; top_down[24] = 0xFF; top_down[25] = 0xFF; // -3
    auto size = decode_bmp(top_down);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->height, 3);
}

TEST(BitmapFile, DecodesTwentyFourBitsBottomUp)
{
    auto image = decode_bmp(small_bitmap());
    ASSERT_TRUE(image) << image.error().message;
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->pixels, (std::vector<uint32_t> { 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF }));
}

TEST(BitmapFile, DecodesAPalettedPicture)
{
    // 8 bits, two colours in the table, one row of three pixels (padded to 4).
    std::vector<uint8_t> bytes(54 + 8 + 4, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 10, 62);
    put32(bytes, 14, 40);
    put32(bytes, 18, 3);
    put32(bytes, 22, 1);
    bytes[28] = 8;
    put32(bytes, 46, 2);
    bytes[54 + 2] = 0x80; // colour 0: red 0x80
    bytes[58 + 1] = 0x40; // colour 1: green 0x40
    bytes[62] = 1;
    bytes[63] = 0;
    bytes[64] = 7; // outside the table: black
    auto image = decode_bmp(bytes);
    ASSERT_TRUE(image) << image.error().message;
    EXPECT_EQ(image->pixels, (std::vector<uint32_t> { 0x004000, 0x800000, 0 }));
}

TEST(BitmapFile, RefusesWhatIsNotABitmapWithTheFortyByteHeader)
{
    EXPECT_FALSE(decode_bmp(small_bitmap(12))); // the old core header
    EXPECT_FALSE(decode_bmp(small_bitmap(124))); // a version 5 header
    auto png = small_bitmap();
    png[0] = 0x89;
    png[1] = 'P';
    EXPECT_FALSE(decode_bmp(png));
    auto cut = small_bitmap();
    cut.resize(60);
    EXPECT_FALSE(decode_bmp(cut));
    auto huge = small_bitmap();
    put32(huge, 18, 0x7FFFFFFF);
    EXPECT_FALSE(decode_bmp(huge));
    auto compressed = small_bitmap();
    compressed[30] = 1;
    EXPECT_FALSE(decode_bmp(compressed));
    EXPECT_FALSE(decode_bmp({}));
}

TEST(BitmapFile, DecodesBitFieldsOfSixteenAndThirtyTwoBits)
{
    // One row of two pixels; masks after the header: 5-6-5 for 16 bits,
    // and blue in the high byte for 32 bits, to show the masks are obeyed.
    std::vector<uint8_t> sixteen(54 + 12 + 4, 0);
    sixteen[0] = 'B';
    sixteen[1] = 'M';
    put32(sixteen, 10, 66);
    put32(sixteen, 14, 40);
    put32(sixteen, 18, 2);
    put32(sixteen, 22, 1);
    sixteen[26] = 1;
    sixteen[28] = 16;
    put32(sixteen, 30, 3);
    put32(sixteen, 54, 0xF800);
    put32(sixteen, 58, 0x07E0);
    put32(sixteen, 62, 0x001F);
    sixteen[66] = 0x00; sixteen[67] = 0xF8; // pure red
    sixteen[68] = 0xE0; sixteen[69] = 0x07; // pure green
    auto image = decode_bmp(sixteen);
    ASSERT_TRUE(image) << image.error().message;
    EXPECT_EQ(image->pixels, (std::vector<uint32_t> { 0xFF0000, 0x00FF00 }));

    std::vector<uint8_t> thirty_two(54 + 12 + 8, 0);
    std::copy(sixteen.begin(), sixteen.begin() + 54, thirty_two.begin());
    thirty_two[28] = 32;
    put32(thirty_two, 54, 0x0000FF00);
    put32(thirty_two, 58, 0x00FF0000);
    put32(thirty_two, 62, 0xFF000000);
    put32(thirty_two, 66, 0xFF000000); // blue
    put32(thirty_two, 70, 0x00000080); // no channel of the masks: black
    image = decode_bmp(thirty_two);
    ASSERT_TRUE(image) << image.error().message;
    EXPECT_EQ(image->pixels, (std::vector<uint32_t> { 0x0000FF, 0 }));

    auto cut = thirty_two;
    cut.resize(60); // the masks are missing
    EXPECT_FALSE(decode_bmp(cut));
}
