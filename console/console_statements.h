// SPDX-License-Identifier: GPL-3.0-or-later
// The console commands of scripts: ESCREVE and its companions.
#pragma once

namespace interpreter {
class CommandTable;
}

namespace console {

void bind_console_statements(interpreter::CommandTable& table);

}
