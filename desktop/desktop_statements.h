// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop commands: DIGITA, ACIONA, CLICA, TRANSFERE, JANELA, CAPTURA and MSAA.
#pragma once

namespace interpreter {
class CommandTable;
}

namespace desktop {

void bind_desktop_statements(interpreter::CommandTable& table);

}
