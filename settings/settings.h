// SPDX-License-Identifier: GPL-3.0-or-later
// Settings: finding and reading the read-only settings file "Lumera.ini".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {
class PathMap;
}

namespace settings {

class Settings {
public:
    // `ini_override` is the file given with --ini (empty: search as usual);
    // `program_directory` is the folder of the running executable.
    Settings(const platform::PathMap& paths, std::string ini_override, std::string program_directory);

    // The folder the settings file is taken from (Windows-style, no final "\").
    std::string settings_directory() const;

    // A value after the legacy fallback and the "@" macros; empty when missing.
    // At most 254 characters.
    std::string read_setting(std::string_view section, std::string_view key) const;

    // A direct read: no macros, no fallback, at most 79 characters, and
    // `default_value` when the key is missing.
    std::string read_direct(std::string_view section, std::string_view key, std::string_view default_value) const;

    // A whole decimal number, or nothing when the value is empty or not one.
    static std::optional<int> whole_number(std::string_view value);

    void set_legacy(bool legacy) { m_legacy = legacy; }
    bool legacy() const { return m_legacy; }

private:
    const platform::PathMap& m_paths;
    std::string m_ini_override;
    std::string m_program_directory;
    bool m_legacy = true;
};

}
