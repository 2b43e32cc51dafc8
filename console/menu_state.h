// SPDX-License-Identifier: GPL-3.0-or-later
// MenuState: the one menu of the program, or none before MENU "CRIA" and after "TERMINA".
#pragma once

#include "console/menu.h"

#include <optional>

namespace console {

// Owned by app/ and reached through the runtime's subsystems, so that a
// menu outlives the statement that made it and a test's runtime has its own.
struct MenuState {
    std::optional<Menu> menu;
};

}
