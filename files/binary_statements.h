// SPDX-License-Identifier: GPL-3.0-or-later
// The binary file commands: CRIABIN, ESCREVEBYTE, LEBYTE, GRAVABYTES, LIMPABYTES, FECHABIN.
#pragma once

namespace interpreter {
class CommandTable;
}

namespace files {

void bind_binary_statements(interpreter::CommandTable& table);

}
