// SPDX-License-Identifier: GPL-3.0-or-later
// BMP files: checking one before it is shown, and writing one from a JPEG.
#pragma once

#include "base/result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sys {

struct BitmapSize {
    int width = 0;
    int height = 0;
};

// A BMP whose information header is the 40-byte one, with a size, depth and
// pixel area that fit the file; nothing for anything else. Pictures come
// from anywhere, so every field is checked before the window draws it.
base::Result<BitmapSize> check_bmp(const std::vector<uint8_t>& bytes);

// Decodes a JPEG file into a BMP image: 8 bits per pixel with a grey palette
// for a grey JPEG, 24 bits otherwise.
base::Result<std::vector<uint8_t>> jpeg_to_bmp(const std::string& jpeg_path);

// Reads a whole file of at most `limit` bytes.
base::Result<std::vector<uint8_t>> read_binary_file(const std::string& path, size_t limit);
base::Result<void> write_binary_file(const std::string& path, const std::vector<uint8_t>& bytes);

}
