// SPDX-License-Identifier: GPL-3.0-or-later
// The script nubrado carries inside itself.
#pragma once

#include <span>
#include <string_view>

namespace app {

// The lines in order, line 1 first, as Windows-1252 text.
std::span<const std::string_view> embedded_script_lines();

}
