// SPDX-License-Identifier: GPL-3.0-or-later
// BMP files: reading one to be shown, and writing one from a JPEG.
#pragma once

#include "base/result.h"
#include "platform/screen_sink.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sys {

// Accepts only a "BM" file whose info header is the 40-byte one, with 1, 4,
// 8, 16, 24 or 32 bits a pixel, uncompressed (or with bit fields for 16 and
// 32 bits), and whose pixels are all in the file; anything else is an
// error, so the caller keeps the picture it had. Pictures come from
// anywhere, so every field is checked before the window draws it.
base::Result<platform::PictureImage> decode_bmp(std::span<const uint8_t> file);

// Reads and decodes a file given as a path of this system (UTF-8).
base::Result<platform::PictureImage> load_bmp_file(const std::string& system_path);

// Decodes a JPEG file into a BMP image: 8 bits per pixel with a grey palette
// for a grey JPEG, 24 bits otherwise.
base::Result<std::vector<uint8_t>> jpeg_to_bmp(const std::string& jpeg_path);

// Reads a whole file of at most `limit` bytes.
base::Result<std::vector<uint8_t>> read_binary_file(const std::string& path, size_t limit);
base::Result<void> write_binary_file(const std::string& path, const std::vector<uint8_t>& bytes);

}
