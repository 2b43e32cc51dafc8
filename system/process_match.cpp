// SPDX-License-Identifier: GPL-3.0-or-later
// Finding running processes by the program name a script knows them by.
#include "system/process_match.h"

#include "interpreter/text.h"
#include "base/text_encoding.h"
#include "system/windows_command_line.h"

namespace sys {

namespace {

constexpr size_t short_name_length = 15;

bool same_program(std::string_view candidate, std::string_view wanted)
{
    return !candidate.empty() && equals_ascii_insensitive(without_exe_suffix(file_name_part(candidate)), wanted);
}

}

bool process_matches(const platform::ProcessEntry& process, std::string_view windows_name)
{
    auto wanted_text = base::windows1252_to_utf8(interpreter::trim(windows_name));
    std::string_view wanted = without_exe_suffix(file_name_part(wanted_text));
    if (wanted.empty())
        return false;
    if (same_program(process.executable_name, wanted))
        return true;
    const auto& words = process.command_line;
    if (!words.empty() && same_program(words[0], wanted))
        return true;
    if (words.size() >= 2 && !process.short_name.empty()) {
        std::string_view script = file_name_part(words[1]);
        if (script.substr(0, short_name_length) == process.short_name && same_program(script, wanted))
            return true;
    }
    return false;
}

std::vector<int> find_processes(platform::ProcessLauncher& launcher, std::string_view windows_name)
{
    std::vector<int> found;
    int own = launcher.own_pid();
    for (const auto& process : launcher.list_processes()) {
        if (process.pid != own && process_matches(process, windows_name))
            found.push_back(process.pid);
    }
    return found;
}

}
