// SPDX-License-Identifier: GPL-3.0-or-later
// How the file commands turn the names scripts write into names of this system.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace interpreter {
struct Runtime;
}

namespace files {

// The system path of a name written in a script (Windows-1252, Windows
// style), through the runtime's path map. A runtime without a path map (a
// unit test that needs none) takes the name as written, in UTF-8.
std::filesystem::path system_path(interpreter::Runtime& runtime, std::string_view name);

// A name read from the file system (UTF-8) in the runtime's own text.
std::string runtime_name(const std::filesystem::path& name);

// The Windows-style form of a system path, in the runtime's own text, as
// scripts expect to see paths.
std::string windows_path(interpreter::Runtime& runtime, const std::filesystem::path& path);

}
