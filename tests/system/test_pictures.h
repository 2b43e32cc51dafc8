// SPDX-License-Identifier: GPL-3.0-or-later
// Small picture files made by the tests themselves.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace test_pictures {

// A JPEG whose rows `fill_row` makes: `components` bytes a pixel, 1 for
// grey, 3 for RGB. Returns false when the file cannot be written.
template<typename FillRow>
bool write_jpeg_rows(const std::string& path, int width, int height, int components, FillRow fill_row)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * static_cast<size_t>(components));
    while (info.next_scanline < info.image_height) {
        fill_row(static_cast<int>(info.next_scanline), row.data());
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

// A JPEG of the given size: left half red, right half blue (grey: dark and
// light). Returns false when the file cannot be written.
inline bool write_jpeg(const std::string& path, int width, int height, bool grey)
{
    return write_jpeg_rows(path, width, height, grey ? 1 : 3, [width, grey](int, uint8_t* row) {
        for (int x = 0; x < width; ++x) {
            bool left = x < width / 2;
            if (grey) {
                row[x] = left ? 40 : 220;
            } else {
                uint8_t* pixel = &row[static_cast<size_t>(x) * 3];
                pixel[0] = left ? 255 : 0;
                pixel[1] = 0;
                pixel[2] = left ? 0 : 255;
            }
        }
    });
}

// A JPEG in four quarters, to see its orientation: red top left, green top
// right, blue bottom left, white bottom right.
inline bool write_quarters_jpeg(const std::string& path, int width, int height)
{
    return write_jpeg_rows(path, width, height, 3, [width, height](int y, uint8_t* row) {
        for (int x = 0; x < width; ++x) {
            bool left = x < width / 2;
            bool top = y < height / 2;
            uint8_t* pixel = &row[static_cast<size_t>(x) * 3];
            pixel[0] = (top && left) || (!top && !left) ? 255 : 0;
            pixel[1] = (top && !left) || (!top && !left) ? 255 : 0;
            pixel[2] = !top ? 255 : 0;
        }
    });
}

// A 24-bit BMP of one colour.
inline std::vector<uint8_t> make_bmp(int width, int height)
{
    size_t row = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> bytes(54 + row * static_cast<size_t>(height), 0x80);
    auto put = [&](size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<uint32_t>(bytes.size()), 4);
    put(6, 0, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(30, 0, 4);
    put(34, static_cast<uint32_t>(row * static_cast<size_t>(height)), 4);
    for (size_t at = 38; at < 54; ++at)
        bytes[at] = 0;
    return bytes;
}

}
