// SPDX-License-Identifier: GPL-3.0-or-later
// The encoding commands: UTF-8, Base64 and quoted-printable conversions of variables and files.
#pragma once

namespace interpreter {
class CommandTable;
}

namespace encoding {

void bind_encoding_statements(interpreter::CommandTable& table);

}
