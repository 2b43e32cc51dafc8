// SPDX-License-Identifier: GPL-3.0-or-later
// SdlAudioDevice: real sound through SDL2, with the block queue kept by our own callback.
#pragma once

#include "platform/audio_device.h"

#include <memory>

namespace platform {

// Creates the SDL2 output, or nothing when SDL has no usable sound device
// (SDL picks its "alsa" driver even on a machine without a sound card and
// only fails when a device is opened, so a device is tried here once).
std::unique_ptr<AudioDevice> create_sdl_audio_device();

}
