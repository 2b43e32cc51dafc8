// SPDX-License-Identifier: GPL-3.0-or-later
// SdlWindow: the console's screen in a window of its own (SDL2 and SDL2_ttf).
#pragma once

#include "base/result.h"
#include "platform/screen_sink.h"
#include "platform/sdl/window_cells.h"
#include "platform/window_settings.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

struct SDL_Window;
struct SDL_Surface;
typedef struct _TTF_Font TTF_Font;

namespace platform {

// The window exists hidden from the start and shows itself when the console
// first sets its state, which the console does when it opens. Everything
// drawn lands first in a surface of the 80 x 25 cells; `present` puts that
// surface, the picture and the caret into the window.
class SdlWindow final : public ScreenSink {
public:
    static base::Result<std::unique_ptr<SdlWindow>> open(const WindowSettings& settings);
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    void set_colours(const std::array<Rgb, 16>& colours) override;
    void draw_run(int row, int column, std::string_view text, uint8_t attribute) override;
    void scroll_up(uint8_t fill_attribute) override;
    void set_cursor(int column, int row) override;
    void show_caret(bool visible) override;
    void set_title(std::string_view title) override;
    void set_window_state(WindowState state) override;
    void show_picture(const PictureImage* image, int x, int y, double scale) override;
    void show_magnifier(const MagnifierView* view) override;
    void beep() override;
    void present() override;

    // The window was uncovered or resized: everything is drawn again.
    void redraw();
    uint32_t window_id() const;
    // The X11 id of the window, for HANDLE and the desktop's foreground
    // checks; nothing when the window is not on X11.
    std::optional<uint64_t> native_window_id() const;
    CellSize cell() const { return m_cell; }

private:
    SdlWindow() = default;
    base::Result<void> create(const WindowSettings& settings);
    void draw_cell(int row, int column);
    SDL_Surface* glyph(uint8_t character);
    SDL_Surface* render_glyph(TTF_Font* font, uint8_t character, int width, int height);
    SDL_Surface* magnifier_glyph(uint8_t character, int scale);
    void release_magnifier_font();
    void draw_magnifier(SDL_Surface* target);

    SDL_Window* m_window = nullptr;
    TTF_Font* m_font = nullptr;
    SDL_Surface* m_cells_surface = nullptr;
    std::array<SDL_Surface*, 256> m_glyphs {};
    std::array<bool, 256> m_glyph_made {};
    SDL_Surface* m_picture_surface = nullptr;
    bool m_video_started = false;
    bool m_ttf_started = false;

    WindowCells m_cells;
    std::array<Rgb, 16> m_colours {};
    CellSize m_cell;
    int m_ascent = 0;
    int m_cursor_column = 0;
    int m_cursor_row = 0;
    bool m_caret = false;
    bool m_shown = false;
    bool m_dirty = true;
    int m_picture_x = 0;
    int m_picture_y = 0;
    double m_picture_scale = 1.0;
    std::string m_snapshot_path;

    // The magnifier draws with the console's font made `scale` times
    // larger, rendered at that size rather than blown up, so that its
    // strokes stay smooth; its glyphs are kept for the last scale asked.
    std::string m_font_path;
    int m_font_size = 0;
    bool m_font_embolden = false;
    TTF_Font* m_magnifier_font = nullptr;
    int m_magnifier_font_scale = 0;
    std::array<SDL_Surface*, 256> m_magnifier_glyphs {};
    std::array<bool, 256> m_magnifier_glyph_made {};
    bool m_magnifier_shown = false;
    std::string m_magnifier_text;
    MagnifierView m_magnifier;
};

}
