// SPDX-License-Identifier: GPL-3.0-or-later
// Reading one value out of the text of a Windows profile file (an ".ini" file).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace settings {

// The value of `key` in section `section`, as the Windows profile functions
// find it: section and key names compared without regard to case, the first
// matching key of any section with that name wins, blanks around names and
// values removed, and one pair of matching quotes around a value dropped.
// Lines end with CR LF, LF or CR. Nothing when the key is missing.
std::optional<std::string> find_ini_value(std::string_view text, std::string_view section, std::string_view key);

// The contents of a settings file as runtime text (Windows-1252). The file
// is Windows-1252 unless it is valid UTF-8 holding multi-byte characters or
// starts with a UTF-8 or UTF-16LE byte-order mark, as editors of this system
// write it. Only the first megabyte is read. Empty when it cannot be read.
std::string read_ini_text(const std::string& system_path);

}
