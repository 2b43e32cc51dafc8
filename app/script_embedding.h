// SPDX-License-Identifier: GPL-3.0-or-later
// Turning script lines into the C++ source of a constant list of lines.
#pragma once

#include <string>
#include <vector>

namespace app {

// A source file that defines embedded_script_lines() (app/embedded_script.h)
// holding exactly these Windows-1252 lines in order. `origin` is named in
// the file's opening comment.
std::string embedded_script_source(const std::vector<std::string>& lines, const std::string& origin);

}
