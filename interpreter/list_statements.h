// SPDX-License-Identifier: GPL-3.0-or-later
// LISTA: named lists of texts for scripts.
#pragma once

namespace interpreter {
class CommandTable;
}

namespace interpreter {

void bind_list_statements(interpreter::CommandTable& table);

}
