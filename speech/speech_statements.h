// SPDX-License-Identifier: GPL-3.0-or-later
// The speech commands of scripts: FALA, SOLETRA, FALAHORA, SINTCONFIG.
#pragma once

namespace interpreter {
class CommandTable;
}

namespace speech {

void bind_speech_statements(interpreter::CommandTable& table);

}
