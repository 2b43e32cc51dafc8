// SPDX-License-Identifier: GPL-3.0-or-later
// The process, wait, message, picture and sensor commands of scripts.
#pragma once

namespace interpreter {
class CommandTable;
}

namespace sys {

// EXECUTA, EXISTEPROG, ALARME, CMD, ESPERA, ENVIACMD, MENSAGEM, HANDLE,
// SENSOR, IMAGEM.
void bind_system_statements(interpreter::CommandTable& table);

}
