// SPDX-License-Identifier: GPL-3.0-or-later
// Commands on whole files and directories: REMOVE, RENOMEIA, REPLICA, TAMARQ, HTAMARQ, BUSCA, DIR.
#pragma once

namespace interpreter {
class CommandTable;
}

namespace files {

void bind_file_management_statements(interpreter::CommandTable& table);

}
