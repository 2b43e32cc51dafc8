// SPDX-License-Identifier: GPL-3.0-or-later
// corvante --check: reading scripts without running them and reporting what is wrong.
#pragma once

#include "base/result.h"

#include <cstdio>
#include <string>
#include <vector>

namespace app {

// Splits a script file's bytes into lines as the runner does (LF, a CR
// before it dropped, the same byte-order marks and encodings), but keeps
// lines over the runner's limits, so that the checker can name them.
base::Result<std::vector<std::string>> split_lines_for_check(const std::string& bytes);

// Checks every script and writes "FILE:LINE: message" (UTF-8) to `out` for
// each problem. Returns 0 when all are clean, 1 when a problem was found,
// 2 when a script could not be read (the others are still checked).
int check_scripts(const std::vector<std::string>& paths, std::FILE* out);

}
