// SPDX-License-Identifier: GPL-3.0-or-later
// SdlWindow: the console's screen in a window of its own (SDL2 and SDL2_ttf).
#include "platform/sdl/sdl_window.h"

#include "platform/sdl/font_lookup.h"
#include "platform/sdl/magnifier_layout.h"
#include "platform/sdl/sdl_window_id.h"
#include "base/text_encoding.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr int caret_height = 2;
constexpr int smallest_font_size = 4;

Uint32 map_colour(const SDL_Surface* surface, Rgb colour)
{
    return SDL_MapRGB(surface->format, colour.red, colour.green, colour.blue);
}

}

base::Result<std::unique_ptr<SdlWindow>> SdlWindow::open(const WindowSettings& settings)
{
    std::unique_ptr<SdlWindow> window(new SdlWindow);
    if (auto created = window->create(settings); !created)
        return created.error();
    return window;
}

base::Result<void> SdlWindow::create(const WindowSettings& settings)
{
    // The frame is composed in memory and copied whole; SDL's default of
    // copying it through OpenGL brings a software GL (llvmpipe) with its
    // threads and its compiler into the process for nothing, and replaces
    // the window under a new id when the frame is first made.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return base::Error { std::string("no display for the window: ") + SDL_GetError() };
    m_video_started = true;
    if (TTF_Init() != 0)
        return base::Error { std::string("cannot start the font renderer: ") + TTF_GetError() };
    m_ttf_started = true;

    SDL_Rect work_area { 0, 0, 1024, 734 };
    SDL_GetDisplayUsableBounds(0, &work_area);
    SDL_Rect screen = work_area;
    SDL_GetDisplayBounds(0, &screen);
    if (!settings.default_font_width || !settings.default_font_height)
        return base::Error { "the window has no default cell size" };
    m_cell = cell_size(settings.font_width, settings.font_height, work_area.w, work_area.h,
        settings.default_font_width, settings.default_font_height);

    auto font_file = find_font_file(settings.font_face, settings.font_weight);
    if (font_file.path.empty())
        return base::Error { "no monospace font found (install fonts-dejavu-core)" };
    // The character height is the font's line height; the size is brought
    // down until the lines fit the cell.
    int size = std::max(m_cell.height, smallest_font_size);
    m_font = TTF_OpenFont(font_file.path.c_str(), size);
    if (!m_font)
        return base::Error { "cannot open the font '" + font_file.path + "': " + TTF_GetError() };
    while (TTF_FontHeight(m_font) > m_cell.height && size > smallest_font_size) {
        --size;
        if (TTF_SetFontSize(m_font, size) != 0)
            break;
    }
    if (font_file.embolden)
        TTF_SetFontStyle(m_font, TTF_STYLE_BOLD);
    m_font_path = font_file.path;
    m_font_size = size;
    m_font_embolden = font_file.embolden;
    m_ascent = std::min(TTF_FontAscent(m_font), m_cell.height - caret_height);

    int width = screen_columns * m_cell.width;
    int height = screen_rows * m_cell.height;
    m_window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
        SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!m_window)
        return base::Error { std::string("cannot create the window: ") + SDL_GetError() };
    // When the frame goes through OpenGL after all (the environment's
    // SDL_FRAMEBUFFER_ACCELERATION wins over the hint), making the window's
    // surface replaces the window under a new X11 id; done now, the id that
    // HANDLE hands out stays the window's for good.
    if (!SDL_GetWindowSurface(m_window))
        return base::Error { std::string("cannot draw in the window: ") + SDL_GetError() };
    auto limits = size_limits(m_cell, screen.w, screen.h);
    SDL_SetWindowMinimumSize(m_window, limits.min_width, limits.min_height);
    SDL_SetWindowMaximumSize(m_window, limits.max_width, limits.max_height);

    m_cells_surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!m_cells_surface)
        return base::Error { std::string("cannot make the screen surface: ") + SDL_GetError() };
    SDL_SetSurfaceBlendMode(m_cells_surface, SDL_BLENDMODE_NONE);
    m_snapshot_path = settings.snapshot_path;
    // Characters typed arrive as text events while the window has the focus.
    SDL_StartTextInput();
    return {};
}

SdlWindow::~SdlWindow()
{
    release_magnifier_font();
    for (auto* surface : m_glyphs)
        SDL_FreeSurface(surface);
    SDL_FreeSurface(m_picture_surface);
    SDL_FreeSurface(m_cells_surface);
    if (m_font)
        TTF_CloseFont(m_font);
    if (m_window)
        SDL_DestroyWindow(m_window);
    if (m_ttf_started)
        TTF_Quit();
    if (m_video_started)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

uint32_t SdlWindow::window_id() const
{
    return m_window ? SDL_GetWindowID(m_window) : 0;
}

std::optional<uint64_t> SdlWindow::native_window_id() const
{
    return x11_window_id(m_window);
}

void SdlWindow::set_colours(const std::array<Rgb, 16>& colours)
{
    m_colours = colours;
    m_cells.mark_all_changed();
    m_dirty = true;
}

// Text drawn where the magnifier lies paints over it, as it would over any
// picture drawn on the window: the magnifier is gone until the editor (or
// a menu, or screen review) shows it again, which each of them does after
// drawing its own text. A magnifier kept over later text would hide the
// top rows for good once the editor has ended.
void SdlWindow::draw_run(int row, int column, std::string_view text, uint8_t attribute)
{
    m_cells.draw_run(row, column, text, attribute);
    if (m_magnifier_shown && magnifier_covers(m_magnifier, row, column, static_cast<int>(text.size())))
        m_magnifier_shown = false;
    m_dirty = true;
}

void SdlWindow::scroll_up(uint8_t fill_attribute)
{
    m_cells.scroll_up(fill_attribute);
    m_magnifier_shown = false;
    m_dirty = true;
}

void SdlWindow::set_cursor(int column, int row)
{
    m_cursor_column = column;
    m_cursor_row = row;
    if (m_caret)
        m_dirty = true;
}

void SdlWindow::show_caret(bool visible)
{
    if (m_caret == visible)
        return;
    m_caret = visible;
    m_dirty = true;
    // The caret appears while a key is awaited: the wait follows at once.
    present();
}

void SdlWindow::set_title(std::string_view title)
{
    SDL_SetWindowTitle(m_window, base::windows1252_to_utf8(title).c_str());
}

void SdlWindow::set_window_state(WindowState state)
{
    if (!m_shown) {
        SDL_ShowWindow(m_window);
        m_shown = true;
    }
    switch (state) {
    case WindowState::Normal:
        SDL_RestoreWindow(m_window);
        break;
    case WindowState::Maximised:
        SDL_MaximizeWindow(m_window);
        break;
    case WindowState::Minimised:
        SDL_MinimizeWindow(m_window);
        break;
    }
    m_dirty = true;
}

void SdlWindow::show_picture(const PictureImage* image, int x, int y, double scale)
{
    SDL_FreeSurface(m_picture_surface);
    m_picture_surface = nullptr;
    m_dirty = true;
    if (!image || image->width <= 0 || image->height <= 0
        || image->pixels.size() < static_cast<size_t>(image->width) * static_cast<size_t>(image->height))
        return;
    m_picture_surface = SDL_CreateRGBSurfaceWithFormat(0, image->width, image->height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!m_picture_surface)
        return;
    SDL_SetSurfaceBlendMode(m_picture_surface, SDL_BLENDMODE_NONE);
    SDL_LockSurface(m_picture_surface);
    for (int row = 0; row < image->height; ++row) {
        auto* line = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(m_picture_surface->pixels) + row * m_picture_surface->pitch);
        for (int column = 0; column < image->width; ++column)
            line[column] = 0xFF000000u | image->pixels[static_cast<size_t>(row) * static_cast<size_t>(image->width) + static_cast<size_t>(column)];
    }
    SDL_UnlockSurface(m_picture_surface);
    m_picture_x = x;
    m_picture_y = y;
    m_picture_scale = scale > 0 ? scale : 1.0;
}

void SdlWindow::beep()
{
    // SDL has no system beep; the console's tone and speech are the sounds
    // a user of the window hears.
}

void SdlWindow::redraw()
{
    m_cells.mark_all_changed();
    m_dirty = true;
    present();
}

SDL_Surface* SdlWindow::glyph(uint8_t character)
{
    if (m_glyph_made[character])
        return m_glyphs[character];
    m_glyph_made[character] = true;
    m_glyphs[character] = render_glyph(m_font, character, m_cell.width, m_cell.height);
    return m_glyphs[character];
}

// White strokes on a transparent box of the given size, to be tinted with
// the text colour as they are drawn; nothing for blanks and control codes.
SDL_Surface* SdlWindow::render_glyph(TTF_Font* font, uint8_t character, int width, int height)
{
    bool control = character < 32 || character == 127 || character == 0x81 || character == 0x8D
        || character == 0x8F || character == 0x90 || character == 0x9D;
    if (!font || character == ' ' || control)
        return nullptr;
    auto utf8 = base::windows1252_to_utf8(std::string(1, static_cast<char>(character)));
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, utf8.c_str(), SDL_Color { 255, 255, 255, 255 });
    if (!rendered)
        return nullptr;
    // Each glyph is made exactly one box wide, as a font made for the
    // cell's width would draw it.
    SDL_Surface* box = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (box) {
        SDL_FillRect(box, nullptr, SDL_MapRGBA(box->format, 255, 255, 255, 0));
        SDL_SetSurfaceBlendMode(rendered, SDL_BLENDMODE_NONE);
        SDL_Rect target { 0, 0, width, std::min(rendered->h, height) };
        SDL_Rect source { 0, 0, rendered->w, target.h };
        SDL_BlitScaled(rendered, &source, box, &target);
        SDL_SetSurfaceBlendMode(box, SDL_BLENDMODE_BLEND);
    }
    SDL_FreeSurface(rendered);
    return box;
}

void SdlWindow::release_magnifier_font()
{
    for (auto& surface : m_magnifier_glyphs) {
        SDL_FreeSurface(surface);
        surface = nullptr;
    }
    m_magnifier_glyph_made.fill(false);
    if (m_magnifier_font)
        TTF_CloseFont(m_magnifier_font);
    m_magnifier_font = nullptr;
    m_magnifier_font_scale = 0;
}

SDL_Surface* SdlWindow::magnifier_glyph(uint8_t character, int scale)
{
    if (scale != m_magnifier_font_scale) {
        release_magnifier_font();
        m_magnifier_font_scale = scale;
        // As for the console's font: the lines must fit the box's height.
        int size = std::max(m_font_size * scale, smallest_font_size);
        m_magnifier_font = TTF_OpenFont(m_font_path.c_str(), size);
        while (m_magnifier_font && TTF_FontHeight(m_magnifier_font) > scale * m_cell.height && size > smallest_font_size) {
            --size;
            if (TTF_SetFontSize(m_magnifier_font, size) != 0)
                break;
        }
        if (m_magnifier_font && m_font_embolden)
            TTF_SetFontStyle(m_magnifier_font, TTF_STYLE_BOLD);
    }
    if (m_magnifier_glyph_made[character])
        return m_magnifier_glyphs[character];
    m_magnifier_glyph_made[character] = true;
    m_magnifier_glyphs[character] = render_glyph(m_magnifier_font, character, scale * m_cell.width, scale * m_cell.height);
    return m_magnifier_glyphs[character];
}

void SdlWindow::show_magnifier(const MagnifierView* view)
{
    m_dirty = true;
    m_magnifier_shown = view != nullptr;
    if (!view)
        return;
    // The view's text lives only during the call.
    m_magnifier = *view;
    m_magnifier.scale = std::clamp(view->scale, 0, 10);
    m_magnifier_text.assign(view->text);
    m_magnifier.text = m_magnifier_text;
}

void SdlWindow::draw_magnifier(SDL_Surface* target)
{
    auto layout = lay_out_magnifier(m_magnifier, m_cell);
    auto background = map_colour(target, magnifier_colour(layout.background_colour, m_colours));
    for (const auto& shown : layout.cells) {
        SDL_Rect box { shown.x, shown.y, shown.width, shown.height };
        SDL_FillRect(target, &box, background);
        if (SDL_Surface* shape = magnifier_glyph(shown.character, m_magnifier.scale)) {
            auto ink = magnifier_colour(shown.colour, m_colours);
            SDL_SetSurfaceColorMod(shape, ink.red, ink.green, ink.blue);
            SDL_BlitSurface(shape, nullptr, target, &box);
        }
    }
}

void SdlWindow::draw_cell(int row, int column)
{
    const auto& cell = m_cells.at(row, column);
    auto colours = cell_colours(cell.attribute, m_colours);
    SDL_Rect box { column * m_cell.width, row * m_cell.height, m_cell.width, m_cell.height };
    SDL_FillRect(m_cells_surface, &box, map_colour(m_cells_surface, colours.background));
    if (SDL_Surface* shape = glyph(cell.character)) {
        SDL_SetSurfaceColorMod(shape, colours.text.red, colours.text.green, colours.text.blue);
        SDL_BlitSurface(shape, nullptr, m_cells_surface, &box);
    }
}

void SdlWindow::present()
{
    if (!m_dirty || !m_shown)
        return;
    m_dirty = false;
    for (int row = 0; row < screen_rows; ++row) {
        if (!m_cells.changed(row))
            continue;
        for (int column = 0; column < screen_columns; ++column)
            draw_cell(row, column);
    }
    m_cells.clear_changed();

    SDL_Surface* target = SDL_GetWindowSurface(m_window);
    if (!target)
        return;
    SDL_FillRect(target, nullptr, map_colour(target, Rgb {}));
    SDL_BlitSurface(m_cells_surface, nullptr, target, nullptr);
    if (m_picture_surface) {
        SDL_Rect place { m_picture_x, m_picture_y,
            static_cast<int>(std::lround(m_picture_surface->w * m_picture_scale)),
            static_cast<int>(std::lround(m_picture_surface->h * m_picture_scale)) };
        if (m_picture_scale == 1.0)
            SDL_BlitSurface(m_picture_surface, nullptr, target, &place);
        else
            SDL_BlitScaled(m_picture_surface, nullptr, target, &place);
    }
    // The editor draws the magnifier after the screen was painted, so it
    // lies over the text and the picture.
    if (m_magnifier_shown)
        draw_magnifier(target);
    if (m_caret) {
        int column = std::clamp(m_cursor_column, 0, screen_columns - 1);
        int row = std::clamp(m_cursor_row, 0, screen_rows - 1);
        auto colours = cell_colours(m_cells.at(row, column).attribute, m_colours);
        SDL_Rect bar { column * m_cell.width, row * m_cell.height + m_ascent, m_cell.width, caret_height };
        SDL_FillRect(target, &bar, map_colour(target, colours.text));
    }
    SDL_UpdateWindowSurface(m_window);
    if (!m_snapshot_path.empty())
        SDL_SaveBMP(target, m_snapshot_path.c_str());
}

}
