// SPDX-License-Identifier: GPL-3.0-or-later
// The SDL2 module's entry: the window and the sound card, for programs that load it.
#include "platform/sdl_module.h"

#include "platform/sdl/sdl_audio_device.h"
#include "platform/sdl/sdl_clipboard.h"
#include "platform/sdl/sdl_event_source.h"
#include "platform/sdl/sdl_window.h"

namespace platform {

namespace {

base::Result<WindowParts> open_window(const WindowSettings& settings, Clock& clock, bool real_time)
{
    auto window = SdlWindow::open(settings);
    if (!window)
        return window.error();
    WindowParts parts;
    parts.native_window = (*window)->native_window_id();
    parts.events = std::make_unique<SdlEventSource>(**window, clock, real_time);
    parts.clipboard = std::make_unique<SdlClipboard>();
    parts.sink = std::move(*window);
    return parts;
}

constexpr SdlModule module = { open_window, create_sdl_audio_device };

}

}

extern "C" [[gnu::visibility("default")]] const platform::SdlModule* corvante_sdl_module()
{
    return &platform::module;
}
