// SPDX-License-Identifier: GPL-3.0-or-later
// Builds without libbrlapi: no display can be opened.
#include "platform/brlapi/brlapi_display.h"

namespace platform {

std::unique_ptr<BrailleDisplay> open_brlapi_display() { return nullptr; }

std::vector<BrailleKeyReport> reports_of_brlapi_key(uint64_t) { return {}; }

}
