// SPDX-License-Identifier: GPL-3.0-or-later
// X11DesktopInput: keys and clicks through XTest, windows through EWMH, on the X server of $DISPLAY.
#pragma once

#include "platform/desktop_input.h"

#include <memory>
#include <string>

namespace platform {

// Nothing when there is no display to open (a text console, a Wayland
// session without XWayland) or the server lacks the XTest extension.
std::unique_ptr<DesktopInput> open_x11_desktop_input();

// One line for the help text: which desktop this program finds here.
std::string describe_x11_desktop();

}
