// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user folders of the XDG base directory rules, and the program's own folder.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// $XDG_DATA_HOME, or ~/.local/share when it is unset, empty or not absolute.
std::string data_home();
// $XDG_CONFIG_HOME, or ~/.config likewise.
std::string config_home();

// The rule behind both, with the environment passed in: `value` is the XDG
// variable (null when unset), `home` is $HOME (null when unset; the user
// database is asked then) and `fallback` is the folder below home.
std::string xdg_folder(const char* value, const char* home, std::string_view fallback);

// The folder of the running executable (from /proc/self/exe), without a
// final "/"; the current directory when it cannot be found.
std::string executable_directory();

}
