// SPDX-License-Identifier: GPL-3.0-or-later
// The braille display of a BrlAPI server (brltty).
#pragma once

#include "platform/braille_display.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// Connects to the server that BRLAPI_HOST names (brltty's default
// connection without it) and takes the display; nullptr when no server
// answers or the display has no cells.
std::unique_ptr<BrailleDisplay> open_brlapi_display();

// The reports a BrlAPI key code (a command of brltty's driver-independent
// set or a key symbol) makes: the commands become the display's keys, the
// dots typed on its braille keyboard one chord.
std::vector<BrailleKeyReport> reports_of_brlapi_key(uint64_t code);

}
