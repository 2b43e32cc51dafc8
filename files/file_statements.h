// SPDX-License-Identifier: GPL-3.0-or-later
// The channel commands of text files: ABRE, FECHA, CHECA and the channel forms of ESCREVE and LE.
#pragma once

#include <string_view>

namespace interpreter {
class CommandTable;
struct Runtime;
}

namespace files {

void bind_file_statements(interpreter::CommandTable& table);

// ESCREVE's channel form. `rest` starts at "#" (the trailing "&" already
// taken off: `line_end` says whether it was absent). The I/O status is set
// here; a channel that is not open is reported and the command still
// succeeds.
bool write_to_channel(interpreter::Runtime& runtime, std::string_view rest, bool line_end);

// LE's channel form: `rest` starts at "#" and holds the channel and the
// target. Sets the I/O status: 1 at the end of the input.
bool read_from_channel(interpreter::Runtime& runtime, std::string_view rest);

}
