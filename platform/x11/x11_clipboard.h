// SPDX-License-Identifier: GPL-3.0-or-later
// X11Clipboard: the CLIPBOARD selection of the X server of $DISPLAY.
#pragma once

#include "platform/clipboard.h"

#include <memory>

namespace platform {

// Nothing when there is no display to open.
std::unique_ptr<Clipboard> open_x11_clipboard();

}
