// SPDX-License-Identifier: GPL-3.0-or-later
// Finding running processes by the program name a script knows them by.
#pragma once

#include "platform/process_launcher.h"

#include <string_view>
#include <vector>

namespace sys {

// A script names a process the Windows way: "megaclient.exe", "CMD.EXE", or
// a path to the program. The name matches a process when it equals, without
// ".exe" and without regard to ASCII case, the file name of its executable,
// of its command line's first word, or, for a script started through its
// "#!" line, of the script's path (the second word, recognised because the
// kernel's short name is that path's file name cut to 15 bytes). The short
// name alone is never compared: it is cut.
bool process_matches(const platform::ProcessEntry& process, std::string_view windows_name);

// The ids of the processes the name matches, this process excluded.
std::vector<int> find_processes(platform::ProcessLauncher& launcher, std::string_view windows_name);

}
