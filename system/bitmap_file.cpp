// SPDX-License-Identifier: GPL-3.0-or-later
// BMP files: reading one to be shown, and writing one from a JPEG.
#include "system/bitmap_file.h"

#include "base/byte_order.h"

#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>

#include <jpeglib.h>

namespace sys {

namespace {

// Larger pictures than this cannot be meant for an 80x25 console window,
// and a forged header must not make the program allocate gigabytes.
constexpr int max_side = 16384;
constexpr uint64_t max_pixels = 64ull * 1024 * 1024;

constexpr size_t file_header_size = 14;
constexpr size_t info_header_size = 40;

// The library reports a broken file by calling error_exit, which must not
// return; it jumps back to the decoder instead of ending the process.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void on_jpeg_error(j_common_ptr info)
{
    auto* error = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

void ignore_jpeg_message(j_common_ptr) { }

// The decoding proper, kept free of objects with destructors, since the
// library's error path leaves it by longjmp.
bool decode_jpeg(std::FILE* file, JpegError& error, std::vector<uint8_t>& bmp)
{
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = on_jpeg_error;
    error.manager.output_message = ignore_jpeg_message;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    bool grey = info.jpeg_color_space == JCS_GRAYSCALE;
    info.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&info);
    int width = static_cast<int>(info.output_width);
    int height = static_cast<int>(info.output_height);
    if (width <= 0 || height <= 0 || width > max_side || height > max_side
        || static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > max_pixels) {
        std::strcpy(error.message, "picture too large");
        jpeg_destroy_decompress(&info);
        return false;
    }
    int depth = grey ? 1 : 3;
    size_t row_bytes = (static_cast<size_t>(width) * static_cast<size_t>(depth) + 3) & ~size_t(3);
    size_t palette_size = grey ? 256 * 4 : 0;
    size_t offset = file_header_size + info_header_size + palette_size;
    bmp.assign(offset + row_bytes * static_cast<size_t>(height), 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    base::write_le32(bmp.data() + 2, static_cast<uint32_t>(bmp.size()));
    base::write_le32(bmp.data() + 10, static_cast<uint32_t>(offset));
    base::write_le32(bmp.data() + 14, static_cast<uint32_t>(info_header_size));
    base::write_le32(bmp.data() + 18, static_cast<uint32_t>(width));
    base::write_le32(bmp.data() + 22, static_cast<uint32_t>(height));
    base::write_le16(bmp.data() + 26, 1);
    base::write_le16(bmp.data() + 28, static_cast<uint16_t>(depth * 8));
    base::write_le32(bmp.data() + 34, static_cast<uint32_t>(row_bytes * static_cast<size_t>(height)));
    if (grey) {
        base::write_le32(bmp.data() + 46, 256);
        for (size_t level = 0; level < 256; ++level) {
            size_t at = file_header_size + info_header_size + level * 4;
            bmp[at] = bmp[at + 1] = bmp[at + 2] = static_cast<uint8_t>(level);
        }
    }
    // BMP rows run from the bottom up, in blue-green-red order.
    while (info.output_scanline < info.output_height) {
        size_t row = height - 1 - info.output_scanline;
        uint8_t* target = &bmp[offset + row * row_bytes];
        JSAMPROW line = target;
        jpeg_read_scanlines(&info, &line, 1);
        if (!grey) {
            for (int x = 0; x < width; ++x)
                std::swap(target[x * 3], target[x * 3 + 2]);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

uint32_t rgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
}

// One channel of a 16- or 32-bit pixel, scaled to eight bits: the mask says
// where the channel's bits are and how many there are.
uint8_t channel_value(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = std::countr_zero(mask);
    uint32_t width_mask = mask >> shift;
    uint32_t value = (pixel & mask) >> shift;
    return static_cast<uint8_t>(value * 255 / width_mask);
}

struct ChannelMasks {
    uint32_t red;
    uint32_t green;
    uint32_t blue;
    uint32_t colour(uint32_t pixel) const
    {
        return rgb(channel_value(pixel, red), channel_value(pixel, green), channel_value(pixel, blue));
    }
};

}

base::Result<platform::PictureImage> decode_bmp(std::span<const uint8_t> file)
{
    if (file.size() < file_header_size + info_header_size || file[0] != 'B' || file[1] != 'M')
        return base::Error { "not a bitmap file" };
    if (base::read_le32(file.data() + 14) != info_header_size)
        return base::Error { "a bitmap header of another size" };
    uint32_t pixel_offset = base::read_le32(file.data() + 10);
    auto width = static_cast<int32_t>(base::read_le32(file.data() + 18));
    auto height = static_cast<int32_t>(base::read_le32(file.data() + 22));
    uint16_t bits = base::read_le16(file.data() + 28);
    uint32_t compression = base::read_le32(file.data() + 30);
    uint32_t colour_count = base::read_le32(file.data() + 46);
    bool top_down = height < 0;
    int64_t rows = top_down ? -static_cast<int64_t>(height) : height;
    if (width <= 0 || rows <= 0 || width > max_side || rows > max_side
        || static_cast<uint64_t>(width) * static_cast<uint64_t>(rows) > max_pixels)
        return base::Error { "a bitmap of impossible size" };
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return base::Error { "a bitmap format that cannot be shown" };
    // Uncompressed, or bit fields (masks after the header) for 16 and 32 bits.
    bool bit_fields = compression == 3 && (bits == 16 || bits == 32);
    if (compression != 0 && !bit_fields)
        return base::Error { "a compressed bitmap" };
    ChannelMasks masks = bits == 16 ? ChannelMasks { 0x7C00, 0x03E0, 0x001F } : ChannelMasks { 0xFF0000, 0xFF00, 0xFF };
    if (bit_fields) {
        if (file.size() < file_header_size + info_header_size + 12)
            return base::Error { "a bitmap cut short" };
        const uint8_t* at = file.data() + file_header_size + info_header_size;
        masks = { base::read_le32(at), base::read_le32(at + 4), base::read_le32(at + 8) };
    }

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
            case 16:
                pixel = masks.colour(base::read_le16(line.data() + static_cast<size_t>(x) * 2));
                break;
            case 24: {
                size_t at = static_cast<size_t>(x) * 3;
                pixel = rgb(line[at + 2], line[at + 1], line[at]);
                break;
            }
            case 32:
                pixel = masks.colour(base::read_le32(line.data() + static_cast<size_t>(x) * 4));
                break;
            }
            out[x] = pixel;
        }
    }
    return image;
}

base::Result<platform::PictureImage> load_bmp_file(const std::string& system_path)
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
    return decode_bmp(bytes);
}

base::Result<std::vector<uint8_t>> jpeg_to_bmp(const std::string& jpeg_path)
{
    std::FILE* file = std::fopen(jpeg_path.c_str(), "rb");
    if (!file)
        return base::Error { "cannot open '" + jpeg_path + "'" };
    std::vector<uint8_t> bmp;
    JpegError error {};
    bool decoded = decode_jpeg(file, error, bmp);
    std::fclose(file);
    if (!decoded)
        return base::Error { "cannot decode '" + jpeg_path + "': " + error.message };
    return bmp;
}

base::Result<std::vector<uint8_t>> read_binary_file(const std::string& path, size_t limit)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return base::Error { "cannot open '" + path + "'" };
    auto size = static_cast<std::streamoff>(file.tellg());
    if (size < 0 || static_cast<uint64_t>(size) > limit)
        return base::Error { "'" + path + "' is too large" };
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size))
        return base::Error { "cannot read '" + path + "'" };
    return bytes;
}

base::Result<void> write_binary_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file || !file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        return base::Error { "cannot write '" + path + "'" };
    return {};
}

}
