// SPDX-License-Identifier: GPL-3.0-or-later
// MENU: the statement that builds a menu, lets the user choose from it and removes it.
#pragma once

namespace interpreter {
class CommandTable;
}

namespace console {

void bind_menu_statements(interpreter::CommandTable& table);

}
