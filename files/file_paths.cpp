// SPDX-License-Identifier: GPL-3.0-or-later
// How the file commands turn the names scripts write into names of this system.
#include "files/file_paths.h"

#include "interpreter/runtime.h"
#include "platform/path_map.h"
#include "base/text_encoding.h"

namespace files {

std::filesystem::path system_path(interpreter::Runtime& runtime, std::string_view name)
{
    if (runtime.subsystems.paths)
        return std::filesystem::path(runtime.subsystems.paths->to_system(name));
    return std::filesystem::path(base::windows1252_to_utf8(name));
}

std::string runtime_name(const std::filesystem::path& name)
{
    return base::utf8_to_windows1252(name.string());
}

std::string windows_path(interpreter::Runtime& runtime, const std::filesystem::path& path)
{
    if (runtime.subsystems.paths)
        return runtime.subsystems.paths->to_windows(path.string());
    return runtime_name(path);
}

}
