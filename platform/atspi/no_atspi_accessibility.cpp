// SPDX-License-Identifier: GPL-3.0-or-later
// A build without libatspi's headers: the desktop offers no accessible objects.
#include "platform/atspi/atspi_accessibility.h"

namespace platform {

std::unique_ptr<Accessibility> create_atspi_accessibility() { return std::make_unique<NoAccessibility>(); }

std::string describe_atspi_accessibility() { return "none (built without libatspi): MSAA finds no objects"; }

}
