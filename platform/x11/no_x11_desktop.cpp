// SPDX-License-Identifier: GPL-3.0-or-later
// Builds without XCB: no display can be opened.
#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_desktop.h"
#include "platform/x11/x11_desktop_input.h"

namespace platform {

std::unique_ptr<Desktop> open_x11_desktop(std::optional<uint64_t>) { return nullptr; }
std::unique_ptr<DesktopInput> open_x11_desktop_input() { return nullptr; }
std::unique_ptr<Clipboard> open_x11_clipboard() { return nullptr; }
std::string describe_x11_desktop() { return "none (built without X11 support)"; }

}
