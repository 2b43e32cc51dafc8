// SPDX-License-Identifier: GPL-3.0-or-later
// Settings: finding and reading the read-only settings file "Lumera.ini".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {
class PathMap;
}

namespace settings {

// Longest values the two kinds of read return (their buffers hold one byte
// more, for the terminating zero of the original interface).
constexpr size_t max_setting_length = 254;
constexpr size_t max_direct_length = 79;

// Where the settings come from. All paths are system paths (UTF-8).
struct SettingsPlaces {
    // The per-user folder looked in first ($XDG_CONFIG_HOME/Lumera).
    std::string user_directory;
    // The file given with --ini; when set, it is the settings file and no
    // search is made.
    std::string ini_override;
    // The folder of the running executable, for the "@" macros.
    std::string program_directory;
};

// The file is looked for in the per-user folder, then in the "windows"
// folder of drive C (where the legacy fallback also reads), and is read
// afresh at every call, so an edit is seen at once. It is never written.
class Settings {
public:
    Settings(const platform::PathMap& paths, SettingsPlaces places);

    // The folder the settings file is taken from, as runtime text
    // (Windows-1252, no final separator): "c:\windows" for drive C's folder,
    // a POSIX path for a folder outside every mapped drive.
    std::string settings_directory() const;

    // A value after the legacy fallback and the "@" macros; empty when missing.
    // The raw value is cut to 254 characters before the macros are expanded.
    std::string read_setting(std::string_view section, std::string_view key) const;

    // A direct read: no macros, no fallback, at most 79 characters, and
    // `default_value` when the key is missing (a key present with an empty
    // value reads as empty).
    std::string read_direct(std::string_view section, std::string_view key, std::string_view default_value) const;

    // A whole decimal number (optional sign, digits, within 32 bits), or
    // nothing when the value is empty or not one.
    static std::optional<int> whole_number(std::string_view value);

    // The legacy flag: while set, a key that is missing or empty in the
    // settings file is looked for again in drive C's "windows\Lumera.ini".
    void set_legacy(bool legacy) { m_legacy = legacy; }
    bool legacy() const { return m_legacy; }

    const platform::PathMap& paths() const { return m_paths; }

    // While held, the file is found and read once and every value comes
    // from that reading: the program's start reads some forty values in a
    // row, and finding the file (a walk of its folders without regard to
    // case) and reading it again for each one cost more than the rest of
    // the start. Released, every read is fresh again. See HeldSettings.
    void hold_readings(bool hold) const;

private:
    // The system path of the settings file in use.
    std::string settings_file() const;
    std::string find_settings_directory() const;
    std::string read_raw(std::string_view section, std::string_view key) const;
    std::string expand_macros(std::string_view value) const;
    std::string lumera_program_directory() const;
    // The text of the file at `system_path`, from the held reading when
    // there is one.
    std::string file_text(const std::string& system_path) const;

    const platform::PathMap& m_paths;
    SettingsPlaces m_places;
    bool m_legacy = true;

    struct HeldReading {
        std::optional<std::string> directory;
        std::vector<std::pair<std::string, std::string>> texts; // system path, text
    };
    // Logically const: a held reading only saves work.
    mutable std::optional<HeldReading> m_held;
};

// Holds the readings of `settings` for as long as it lives.
class HeldSettings {
public:
    explicit HeldSettings(const Settings& settings)
        : m_settings(settings)
    {
        m_settings.hold_readings(true);
    }
    ~HeldSettings() { m_settings.hold_readings(false); }
    HeldSettings(const HeldSettings&) = delete;
    HeldSettings& operator=(const HeldSettings&) = delete;

private:
    const Settings& m_settings;
};

}
