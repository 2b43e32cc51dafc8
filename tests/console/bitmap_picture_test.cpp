// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of reading BMP pictures, and of the console keeping its picture when a load is refused.
#include "console/bitmap_picture.h"
#include "tests/console/console_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

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

TEST(BitmapPicture, DecodesTwentyFourBitsBottomUp)
{
    auto image = console::decode_bitmap(small_bitmap());
    ASSERT_TRUE(image) << image.error().message;
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->pixels, (std::vector<uint32_t> { 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF }));
}

TEST(BitmapPicture, DecodesAPalettedPicture)
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
    auto image = console::decode_bitmap(bytes);
    ASSERT_TRUE(image) << image.error().message;
    EXPECT_EQ(image->pixels, (std::vector<uint32_t> { 0x004000, 0x800000, 0 }));
}

TEST(BitmapPicture, RefusesWhatIsNotABitmapWithTheFortyByteHeader)
{
    EXPECT_FALSE(console::decode_bitmap(small_bitmap(12))); // the old core header
    EXPECT_FALSE(console::decode_bitmap(small_bitmap(124))); // a version 5 header
    auto png = small_bitmap();
    png[0] = 0x89;
    png[1] = 'P';
    EXPECT_FALSE(console::decode_bitmap(png));
    auto cut = small_bitmap();
    cut.resize(60);
    EXPECT_FALSE(console::decode_bitmap(cut));
    auto huge = small_bitmap();
    put32(huge, 18, 0x7FFFFFFF);
    EXPECT_FALSE(console::decode_bitmap(huge));
    auto compressed = small_bitmap();
    compressed[30] = 1;
    EXPECT_FALSE(console::decode_bitmap(compressed));
    EXPECT_FALSE(console::decode_bitmap({}));
}

TEST(BitmapPicture, ARefusedFileKeepsTheCurrentPicture)
{
    auto folder = std::filesystem::temp_directory_path() / ("console_bitmap_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    auto write = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
        auto path = (folder / name).string();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
    };
    auto good = write("good.bmp", small_bitmap());
    auto bad = write("bad.bmp", small_bitmap(12));

    console_test::ConsoleFixture test;
    ASSERT_TRUE(test.console.load_picture(good));
    test.console.draw_picture(10, 20);
    EXPECT_TRUE(test.screen.has_picture());
    EXPECT_FALSE(test.console.load_picture(bad));
    EXPECT_FALSE(test.console.load_picture((folder / "missing.bmp").string()));
    EXPECT_TRUE(test.console.has_picture());
    EXPECT_TRUE(test.screen.has_picture());
    test.console.remove_picture();
    EXPECT_FALSE(test.console.has_picture());
    EXPECT_FALSE(test.screen.has_picture());
    std::filesystem::remove_all(folder);
}

}
