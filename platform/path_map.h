// SPDX-License-Identifier: GPL-3.0-or-later
// PathMap: turns the Windows-style paths that scripts write into paths of this system.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace platform {

// Scripts name files the Windows way ("c:\nubrado\temp\result",
// "..\dados\x.txt"), in Windows-1252. A drive letter becomes that drive's
// root folder, backslashes become slashes, and where no file matches exactly
// a case-insensitive match of each component is used. POSIX absolute paths
// pass through. The result is UTF-8, ready for the operating system.
class PathMap {
public:
    // Drive C defaults to $XDG_DATA_HOME/lumera/c (~/.local/share/lumera/c).
    PathMap();

    // Sets the root folder of a drive letter (either case).
    void set_drive(char letter, std::string root);
    // The root folder of a drive, or empty when the drive is not mapped.
    std::string drive_root(char letter) const;

    // Maps a path for opening or creating: existing components are matched
    // case-insensitively when no exact match exists; the components that do
    // not exist yet are kept as written.
    std::string to_system(std::string_view windows_path) const;

    // The Windows-style form of a system path under a mapped drive
    // ("c:\x\y"), or the path itself with slashes turned into backslashes.
    std::string to_windows(std::string_view system_path) const;

private:
    std::map<char, std::string> m_drives; // upper-case letter -> root
};

}
