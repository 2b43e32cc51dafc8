// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a program, a document or a link the way the Windows shell's "open" does.
#pragma once

#include <string_view>

namespace platform {
class PathMap;
class ProcessLauncher;
}

namespace sys {

// `file` and `parameter` are script text (Windows-1252, Windows paths). A
// file that is a program is started with the parameter as its one argument
// (a path in it mapped for this system); a document or a link is handed to
// the desktop's opener, xdg-open. Started detached, in the current folder,
// never through a shell. False when nothing could be started (no such
// document, no opener).
bool open_with_desktop(platform::ProcessLauncher& launcher, const platform::PathMap& paths, std::string_view file,
    std::string_view parameter);

}
