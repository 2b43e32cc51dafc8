// SPDX-License-Identifier: GPL-3.0-or-later
// Builds without XCB: no display can be opened.
#include "platform/x11/x11_desktop.h"

namespace platform {

std::unique_ptr<Desktop> open_x11_desktop(std::optional<uint64_t>) { return nullptr; }

}
