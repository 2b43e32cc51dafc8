// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleWindow: the console's backends when it is shown in a window (--window).
#include "app/console_window.h"

#include "settings/setting_keys.h"

#include <cstdlib>

namespace app {

#ifdef CORVANTE_HAVE_SDL_MODULE

base::Result<ConsoleWindow> open_console_window(
    const console::ConsoleSettings& settings, platform::Clock& clock, bool real_time)
{
    platform::WindowSettings window_settings;
    window_settings.font_face = settings.font_face;
    window_settings.font_width = settings.font_width;
    window_settings.font_height = settings.font_height;
    window_settings.font_weight = settings.font_weight;
    window_settings.default_font_width = settings::default_font_width;
    window_settings.default_font_height = settings::default_font_height;
    // The window's end-to-end test compares what was shown, pixel by pixel.
    if (const char* snapshot = std::getenv("CORVANTE_WINDOW_SNAPSHOT"))
        window_settings.snapshot_path = snapshot;
    auto module = platform::load_sdl_module(platform::program_folder());
    if (!module)
        return base::Error { "the window is not available: " + module.error().message };
    auto window = (*module)->open_window(window_settings, clock, real_time);
    if (!window)
        return base::Error { "the window is not available: " + window.error().message };
    return std::move(*window);
}

#else

base::Result<ConsoleWindow> open_console_window(const console::ConsoleSettings&, platform::Clock&, bool)
{
    return base::Error { "the window is not available: this build has no SDL2 with SDL2_ttf" };
}

#endif

}
