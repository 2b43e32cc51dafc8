// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the device-independent bitmaps (BMP files) that the console overlays on its text.
#include "console/bitmap_picture.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace console {

namespace {

constexpr size_t file_header_size = 14;
constexpr uint32_t info_header_size = 40;
// A limit far above any screen, so that a lying header cannot make us
// allocate gigabytes.
constexpr int64_t max_pixels = 64 * 1024 * 1024;

uint32_t u32_at(std::span<const uint8_t> bytes, size_t at)
{
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8
        | static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

uint16_t u16_at(std::span<const uint8_t> bytes, size_t at)
{
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

uint32_t rgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
}

}

base::Result<platform::PictureImage> decode_bitmap(std::span<const uint8_t> file)
{
    if (file.size() < file_header_size + info_header_size || file[0] != 'B' || file[1] != 'M')
        return base::Error { "not a bitmap file" };
    if (u32_at(file, 14) != info_header_size)
        return base::Error { "a bitmap header of another size" };
    uint32_t pixel_offset = u32_at(file, 10);
    auto width = static_cast<int32_t>(u32_at(file, 18));
    auto height = static_cast<int32_t>(u32_at(file, 22));
    uint16_t bits = u16_at(file, 28);
    uint32_t compression = u32_at(file, 30);
    uint32_t colour_count = u32_at(file, 46);
    bool top_down = height < 0;
    int64_t rows = top_down ? -static_cast<int64_t>(height) : height;
    if (width <= 0 || rows <= 0 || static_cast<int64_t>(width) * rows > max_pixels)
        return base::Error { "a bitmap of impossible size" };
    if (compression != 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return base::Error { "a bitmap format that cannot be shown" };

    std::vector<uint32_t> colours;
    if (bits <= 8) {
        uint32_t count = colour_count == 0 ? (1u << bits) : colour_count;
        if (count > 256)
            return base::Error { "a bitmap colour table too long" };
        size_t table = file_header_size + info_header_size;
        if (table + static_cast<size_t>(count) * 4 > file.size())
            return base::Error { "a bitmap cut short" };
        for (uint32_t entry = 0; entry < count; ++entry) {
            size_t at = table + entry * 4;
            colours.push_back(rgb(file[at + 2], file[at + 1], file[at]));
        }
    }

    int64_t stride = (static_cast<int64_t>(width) * bits + 31) / 32 * 4;
    int64_t image_size = rows * stride;
    if (pixel_offset > file.size() || image_size > static_cast<int64_t>(file.size() - pixel_offset))
        return base::Error { "a bitmap cut short" };

    platform::PictureImage image;
    image.width = width;
    image.height = static_cast<int>(rows);
    image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(rows));
    for (int64_t row = 0; row < rows; ++row) {
        // Bottom-up files store the last row first.
        int64_t file_row = top_down ? row : rows - 1 - row;
        auto line = file.subspan(pixel_offset + static_cast<size_t>(file_row * stride), static_cast<size_t>(stride));
        auto* out = &image.pixels[static_cast<size_t>(row * width)];
        for (int32_t x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            auto index_colour = [&](uint32_t index) { return index < colours.size() ? colours[index] : 0u; };
            switch (bits) {
            case 1:
                pixel = index_colour((line[static_cast<size_t>(x / 8)] >> (7 - x % 8)) & 1);
                break;
            case 4:
                pixel = index_colour((line[static_cast<size_t>(x / 2)] >> (x % 2 ? 0 : 4)) & 15);
                break;
            case 8:
                pixel = index_colour(line[static_cast<size_t>(x)]);
                break;
            case 16: {
                uint16_t value = u16_at(line, static_cast<size_t>(x) * 2);
                auto five = [](int v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); };
                pixel = rgb(five((value >> 10) & 31), five((value >> 5) & 31), five(value & 31));
                break;
            }
            case 24: {
                size_t at = static_cast<size_t>(x) * 3;
                pixel = rgb(line[at + 2], line[at + 1], line[at]);
                break;
            }
            case 32: {
                size_t at = static_cast<size_t>(x) * 4;
                pixel = rgb(line[at + 2], line[at + 1], line[at]);
                break;
            }
            }
            out[x] = pixel;
        }
    }
    return image;
}

base::Result<platform::PictureImage> load_bitmap_file(const std::string& system_path)
{
    std::FILE* file = std::fopen(system_path.c_str(), "rb");
    if (!file)
        return base::Error { "cannot open '" + system_path + "'" };
    std::vector<uint8_t> bytes;
    uint8_t chunk[16384];
    size_t got;
    // The pixels are read in pieces; a file far larger than any bitmap we
    // accept is refused instead of read whole.
    constexpr size_t max_file = static_cast<size_t>(max_pixels) * 4 + 4096;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > max_file) {
            std::fclose(file);
            return base::Error { "'" + system_path + "' is too large for a bitmap" };
        }
    }
    std::fclose(file);
    return decode_bitmap(bytes);
}

}
