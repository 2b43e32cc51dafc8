// SPDX-License-Identifier: GPL-3.0-or-later
// AtspiAccessibility: focus and window events and the objects of the desktop, through AT-SPI.
#pragma once

#include "platform/accessibility.h"

#include <memory>
#include <string>

namespace platform {

// The accessibility of the desktop's programs (GTK, Qt, browsers...)
// through libatspi, loaded at the first command that needs it. Without the
// library or a session bus every command finds nothing, as on a desktop
// without accessible objects.
std::unique_ptr<Accessibility> create_atspi_accessibility();

// What MSAA would reach, for --help: AT-SPI and the session bus, or why not.
std::string describe_atspi_accessibility();

}
