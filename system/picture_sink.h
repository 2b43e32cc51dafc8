// SPDX-License-Identifier: GPL-3.0-or-later
// PictureSink: where IMAGEM hands the console its picture.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace sys {

// A checked BMP file (40-byte information header) and where its top left
// corner goes, in the console window's pixels.
struct Picture {
    std::vector<uint8_t> bmp;
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;
};

// The console keeps one picture and draws it over its text when it can.
class PictureSink {
public:
    virtual ~PictureSink() = default;
    virtual void show_picture(Picture picture) = 0;
    virtual void remove_picture() = 0;
};

// Keeps the picture without drawing it: the terminal and headless consoles.
class KeptPicture final : public PictureSink {
public:
    void show_picture(Picture picture) override { m_picture = std::move(picture); }
    void remove_picture() override { m_picture.reset(); }
    const std::optional<Picture>& picture() const { return m_picture; }

private:
    std::optional<Picture> m_picture;
};

}
