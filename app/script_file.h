// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a script file into lines of Windows-1252 text.
#pragma once

#include "base/result.h"

#include <string>
#include <string_view>
#include <vector>

namespace app {

// The longest line the runner accepts; longer lines are an error of the
// file, not something to cut silently.
constexpr size_t max_script_line_length = 16384;

// Splits at LF (a CR before it is dropped). A file that is valid UTF-8 with
// multi-byte sequences is converted to Windows-1252; anything else is taken
// as Windows-1252. A byte-order mark says UTF-8 or UTF-16 (either byte
// order) and is dropped. More than 5000 lines, a line over the limit, or a
// NUL (no text holds one) is an error. read_script_file also refuses
// anything but a regular file.
base::Result<std::vector<std::string>> split_script_text(const std::string& bytes);
// Splits text at LF, a CR before it dropped, into at most `most_lines` lines.
std::vector<std::string> split_text_lines(const std::string& text, size_t most_lines);
// The file's text in Windows-1252, its byte-order mark taken off; an error
// for bytes that are not a script (NUL bytes, broken UTF-16).
base::Result<std::string> decode_script_text(std::string_view bytes);
base::Result<std::vector<std::string>> read_script_file(const std::string& path);

}
