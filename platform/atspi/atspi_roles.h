// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows role codes that scripts compare with, for AT-SPI's roles.
#pragma once

#include <cstdint>

namespace platform {

// The role code for an AT-SPI role (an AtspiRole value). 0 for the invalid
// role, which tells nothing of an object; 8 for a role that Windows has no
// code for, which is what a role given as text reads as.
uint32_t windows_role_code(int atspi_role);

}
