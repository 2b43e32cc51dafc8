// SPDX-License-Identifier: GPL-3.0-or-later
// The network commands of scripts: INTERNET, CONECTA, ATIVASSL, SERVE, OBSERVA, IP, HTTP, TRAZDAREDE.
#pragma once

#include <string>
#include <string_view>

namespace interpreter {
class CommandTable;
}

namespace net {

void bind_network_statements(interpreter::CommandTable& table);

// HTTP's encoding: letters, digits and "-._~" stay, every other byte
// becomes "%" and two upper-case hexadecimal digits.
std::string percent_encode(std::string_view text);

}
