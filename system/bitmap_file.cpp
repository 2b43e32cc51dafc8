// SPDX-License-Identifier: GPL-3.0-or-later
// BMP files: checking one before it is shown, and writing one from a JPEG.
#include "system/bitmap_file.h"

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

uint32_t read_u32(const std::vector<uint8_t>& bytes, size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}
uint16_t read_u16(const std::vector<uint8_t>& bytes, size_t at)
{
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}
void put_u32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}
void put_u16(std::vector<uint8_t>& bytes, size_t at, uint16_t value)
{
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

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
    put_u32(bmp, 2, static_cast<uint32_t>(bmp.size()));
    put_u32(bmp, 10, static_cast<uint32_t>(offset));
    put_u32(bmp, 14, static_cast<uint32_t>(info_header_size));
    put_u32(bmp, 18, static_cast<uint32_t>(width));
    put_u32(bmp, 22, static_cast<uint32_t>(height));
    put_u16(bmp, 26, 1);
    put_u16(bmp, 28, static_cast<uint16_t>(depth * 8));
    put_u32(bmp, 34, static_cast<uint32_t>(row_bytes * static_cast<size_t>(height)));
    if (grey) {
        put_u32(bmp, 46, 256);
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

}

base::Result<BitmapSize> check_bmp(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < file_header_size + info_header_size || bytes[0] != 'B' || bytes[1] != 'M')
        return base::Error { "not a BMP file" };
    if (read_u32(bytes, 14) != info_header_size)
        return base::Error { "unsupported BMP header" };
    auto width = static_cast<int32_t>(read_u32(bytes, 18));
    auto height = static_cast<int32_t>(read_u32(bytes, 22));
    uint16_t planes = read_u16(bytes, 26);
    uint16_t bits = read_u16(bytes, 28);
    uint32_t compression = read_u32(bytes, 30);
    uint32_t offset = read_u32(bytes, 10);
    if (height < 0)
        height = height == INT32_MIN ? 0 : -height; // rows from the top down
    if (width <= 0 || height <= 0 || width > max_side || height > max_side || planes != 1)
        return base::Error { "bad BMP size" };
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return base::Error { "bad BMP depth" };
    // Uncompressed, or bit fields for 16 and 32 bits.
    if (compression != 0 && !(compression == 3 && (bits == 16 || bits == 32)))
        return base::Error { "compressed BMP" };
    uint64_t row_bytes = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
    uint64_t needed = static_cast<uint64_t>(offset) + row_bytes * static_cast<uint64_t>(height);
    if (offset < file_header_size + info_header_size || needed > bytes.size())
        return base::Error { "BMP file too short" };
    return BitmapSize { width, height };
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
