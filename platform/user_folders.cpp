// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user folders of the XDG base directory rules, and the program's own folder.
#include "platform/user_folders.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

std::string home_from_user_database()
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry {};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return {};
}

}

std::string xdg_folder(const char* value, const char* home, std::string_view fallback)
{
    // The XDG rules say a relative value is invalid and must be ignored.
    if (value && value[0] == '/')
        return value;
    std::string base = (home && home[0] == '/') ? std::string(home) : home_from_user_database();
    if (base.empty())
        base = "/tmp";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    if (base != "/")
        base += '/';
    base += fallback;
    return base;
}

std::string data_home()
{
    return xdg_folder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), ".local/share");
}

std::string config_home()
{
    return xdg_folder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), ".config");
}

std::string executable_directory()
{
    std::error_code error;
    auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !executable.has_parent_path()) {
        auto current = std::filesystem::current_path(error);
        return error ? std::string(".") : current.string();
    }
    return executable.parent_path().string();
}

}
