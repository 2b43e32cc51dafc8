// SPDX-License-Identifier: GPL-3.0-or-later
// The SDL2 module: the window and the sound card, loaded only by runs that use them.
#pragma once

#include "platform/audio_device.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/event_source.h"
#include "base/result.h"
#include "platform/screen_sink.h"
#include "platform/window_settings.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// The window's screen, its events and the desktop's clipboard. `events`
// refers to `sink`: destroy it first.
struct WindowParts {
    std::unique_ptr<ScreenSink> sink;
    std::unique_ptr<EventSource> events;
    std::unique_ptr<Clipboard> clipboard;
    // The window's id on the desktop (X11), when it has one.
    std::optional<uint64_t> native_window;
};

// What the module offers. SDL2 and the libraries it brings (X11, Wayland,
// PulseAudio, fonts) take several milliseconds to load at every start, so
// programs load the module only when they open the window or the sound card
// and headless runs start without them.
struct SdlModule {
    base::Result<WindowParts> (*open_window)(const WindowSettings& settings, Clock& clock, bool real_time);
    // Nothing when SDL has no usable sound device.
    std::unique_ptr<AudioDevice> (*create_audio_device)();
};

// The module's file, beside the program, and the function it exports that
// returns its SdlModule.
constexpr const char* sdl_module_file = "libcorvante_sdl.so";
constexpr const char* sdl_module_entry = "corvante_sdl_module";
using SdlModuleEntry = const SdlModule* (*)();

// Loads the module from `folder` (ending in "/"); once loaded, it stays.
// Fails with the loader's reason.
base::Result<const SdlModule*> load_sdl_module(const std::string& folder);
// The folder of the running program, ending in "/": programs load the
// module from there.
std::string program_folder();

}
