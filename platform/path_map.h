// SPDX-License-Identifier: GPL-3.0-or-later
// PathMap: turns the Windows-style paths that scripts write into paths of this system.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace platform {

// Scripts name files the Windows way ("c:\nubrado\temp\result",
// "..\dados\x.txt"), in Windows-1252. A drive letter becomes that drive's
// root folder, backslashes become slashes, "." and ".." are resolved on the
// text as Windows does, and where no file matches exactly a case-insensitive
// match of each component is used. POSIX absolute paths ("/home/u/x") pass
// through, with the same treatment below their root. The result is UTF-8,
// ready for the operating system.
//
// A path that cannot name a file maps to the empty text, on which every
// open fails: an empty path, a path holding a zero byte, one longer than
// Windows' own limit of 32767 characters, or one on a drive that is not
// mapped.
class PathMap {
public:
    // Drive C defaults to $XDG_DATA_HOME/lumera/c (~/.local/share/lumera/c).
    PathMap();
    // Drive C at the given system folder (empty: no drive is mapped).
    explicit PathMap(std::string drive_c_root);

    // The default root of drive C for this user.
    static std::string default_drive_c_root();

    // Sets the root folder of a drive letter (either case); a relative root is
    // taken from the current directory. An empty root unmaps the drive.
    // Returns false, changing nothing, for a character that is not a letter.
    bool set_drive(char letter, std::string_view root);
    // The root folder of a drive (a system path without a final "/"), or
    // empty when the drive is not mapped.
    std::string drive_root(char letter) const;

    // Maps a path for opening or creating: existing components are matched
    // case-insensitively when no exact match exists; from the first component
    // that does not exist on, components are kept as written, so that files
    // and folders can be created. A relative path stays relative to the
    // current directory. A final separator is kept.
    std::string to_system(std::string_view windows_path) const;

    // The runtime's form of a system path: "c:\x\y" for a path under a mapped
    // drive (the longest matching root wins), a relative path with
    // backslashes, or else the POSIX path itself (which to_system passes
    // through), converted to Windows-1252.
    std::string to_windows(std::string_view system_path) const;

private:
    // The drive holding the current directory, for paths such as "\x" that
    // name the root of the current drive; drive C when none does.
    int current_drive() const;

    std::array<std::string, 26> m_drives; // index 0 is drive A; empty: not mapped
};

}
