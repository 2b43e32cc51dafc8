// SPDX-License-Identifier: GPL-3.0-or-later
// PictureSink: the console's picture, as IMAGEM hands it over.
#pragma once

#include "system/bitmap_file.h"

#include <optional>
#include <string>
#include <vector>

namespace sys {

// The console keeps one picture and draws it over its text when it can.
// IMAGEM loads a BMP file (a decoded JPEG is such a file for a moment) and
// then places it.
class PictureSink {
public:
    virtual ~PictureSink() = default;
    // Takes the file (a path of this system) as the picture; false, keeping
    // nothing, when it is not a BMP that can be shown.
    virtual bool load_picture(const std::string& system_path) = 0;
    // Places the loaded picture's top left corner, in window pixels.
    virtual void draw_picture(int x, int y) = 0;
    virtual void remove_picture() = 0;
};

// A picture kept and placed but never drawn: the terminal and headless
// consoles, until a console that draws is set.
class KeptPicture final : public PictureSink {
public:
    struct Picture {
        std::vector<uint8_t> bmp;
        int width = 0;
        int height = 0;
        int x = 0;
        int y = 0;
    };

    bool load_picture(const std::string& system_path) override;
    void draw_picture(int x, int y) override;
    void remove_picture() override { m_picture.reset(); }
    const std::optional<Picture>& picture() const { return m_picture; }

private:
    std::optional<Picture> m_picture;
};

}
