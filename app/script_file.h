// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a script file into lines of Windows-1252 text.
#pragma once

#include "base/result.h"

#include <string>
#include <vector>

namespace app {

// The longest line the runner accepts; longer lines are an error of the
// file, not something to cut silently.
constexpr size_t max_script_line_length = 16384;

// Splits at LF (a CR before it is dropped). A file that is valid UTF-8 with
// multi-byte sequences is converted to Windows-1252; anything else is taken
// as Windows-1252. More than 5000 lines, or a line over the limit, is an error.
base::Result<std::vector<std::string>> split_script_text(const std::string& bytes);
base::Result<std::vector<std::string>> read_script_file(const std::string& path);

}
