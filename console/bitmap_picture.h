// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the device-independent bitmaps (BMP files) that the console overlays on its text.
#pragma once

#include "base/result.h"
#include "platform/screen_sink.h"

#include <cstdint>
#include <span>
#include <string>

namespace console {

// Accepts only a "BM" file whose info header is the 40-byte one, with 1, 4,
// 8, 16, 24 or 32 bits a pixel and no compression, and whose pixels are all
// in the file; anything else is an error, so the caller keeps the picture
// it had.
base::Result<platform::PictureImage> decode_bitmap(std::span<const uint8_t> file);

// Reads and decodes a file given as a path of this system (UTF-8).
base::Result<platform::PictureImage> load_bitmap_file(const std::string& system_path);

}
