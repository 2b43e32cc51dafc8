// SPDX-License-Identifier: GPL-3.0-or-later
// KeptPicture: the console's picture, kept without being drawn.
#include "system/picture_sink.h"

namespace sys {

namespace {

// A script's pictures are meant for an 80x25 window; past this a file is
// taken as no picture at all.
constexpr size_t max_picture_bytes = 256 * 1024 * 1024;

}

bool KeptPicture::load_picture(const std::string& system_path)
{
    auto bytes = read_binary_file(system_path, max_picture_bytes);
    if (!bytes)
        return false;
    auto image = decode_bmp(*bytes);
    if (!image)
        return false;
    m_picture = Picture { std::move(*bytes), image->width, image->height, 0, 0 };
    return true;
}

void KeptPicture::draw_picture(int x, int y)
{
    if (!m_picture)
        return;
    m_picture->x = x;
    m_picture->y = y;
}

}
