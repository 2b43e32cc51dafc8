// SPDX-License-Identifier: GPL-3.0-or-later
// Settings: finding and reading the read-only settings file "Lumera.ini".
#include "settings/settings.h"

#include "platform/path_map.h"
#include "settings/ini_file.h"

#include <charconv>
#include <filesystem>

namespace settings {

namespace {

// Drive C's "windows" folder stands for the Windows directory: the second
// place the file is looked for, and the home of the legacy file.
constexpr std::string_view windows_directory = "c:\\windows";
constexpr std::string_view settings_file_name = "Lumera.ini";

std::string with_file_name(std::string_view folder)
{
    std::string path(folder);
    path += '\\';
    path += settings_file_name;
    return path;
}

bool file_exists(const std::string& system_path)
{
    std::error_code error;
    return !system_path.empty() && std::filesystem::exists(system_path, error);
}

void cut_to(std::string& value, size_t length)
{
    if (value.size() > length)
        value.resize(length);
}

}

Settings::Settings(const platform::PathMap& paths, SettingsPlaces places)
    : m_paths(paths)
    , m_places(std::move(places))
{
    // The override is kept absolute, so that "@@\" names the same folder
    // whatever the current directory is when a value is read.
    if (!m_places.ini_override.empty()) {
        std::error_code error;
        auto absolute = std::filesystem::absolute(m_places.ini_override, error);
        if (!error)
            m_places.ini_override = absolute.lexically_normal().string();
    }
}

void Settings::hold_readings(bool hold) const
{
    if (hold)
        m_held.emplace();
    else
        m_held.reset();
}

std::string Settings::file_text(const std::string& system_path) const
{
    if (!m_held)
        return read_ini_text(system_path);
    for (const auto& [path, text] : m_held->texts) {
        if (path == system_path)
            return text;
    }
    m_held->texts.emplace_back(system_path, read_ini_text(system_path));
    return m_held->texts.back().second;
}

std::string Settings::settings_directory() const
{
    if (m_held && m_held->directory)
        return *m_held->directory;
    std::string found = find_settings_directory();
    if (m_held)
        m_held->directory = found;
    return found;
}

std::string Settings::find_settings_directory() const
{
    if (!m_places.ini_override.empty())
        return m_paths.to_windows(std::filesystem::path(m_places.ini_override).parent_path().string());
    std::string user = m_paths.to_windows(m_places.user_directory);
    if (!user.empty() && file_exists(m_paths.to_system(with_file_name(user))))
        return user;
    if (file_exists(m_paths.to_system(with_file_name(windows_directory))))
        return std::string(windows_directory);
    return user;
}

std::string Settings::settings_file() const
{
    if (!m_places.ini_override.empty())
        return m_places.ini_override;
    std::string folder = settings_directory();
    if (folder.empty())
        return {};
    return m_paths.to_system(with_file_name(folder));
}

std::string Settings::read_raw(std::string_view section, std::string_view key) const
{
    std::string value = find_ini_value(file_text(settings_file()), section, key).value_or(std::string());
    cut_to(value, max_setting_length);
    if (value.empty() && m_legacy) {
        std::string legacy_file = m_paths.to_system(with_file_name(windows_directory));
        value = find_ini_value(file_text(legacy_file), section, key).value_or(std::string());
        cut_to(value, max_setting_length);
    }
    return value;
}

std::string Settings::read_setting(std::string_view section, std::string_view key) const
{
    return expand_macros(read_raw(section, key));
}

std::string Settings::read_direct(std::string_view section, std::string_view key, std::string_view default_value) const
{
    auto value = find_ini_value(file_text(settings_file()), section, key);
    std::string result = value ? std::move(*value) : std::string(default_value);
    cut_to(result, max_direct_length);
    return result;
}

// PGMLUMERA is read raw: were it expanded, a value holding "@\" would name
// itself and expand without end.
std::string Settings::lumera_program_directory() const
{
    std::string value = read_raw("LUMERA", "PGMLUMERA");
    if (value.empty() || value.front() == '@')
        return m_paths.to_windows(m_places.program_directory);
    return value;
}

// The text is scanned once from left to right and what a macro brings in is
// never scanned again: a folder or a PGMLUMERA value that itself holds "@\"
// can neither loop nor be mangled, and every "@@\" of a value names the
// settings folder.
std::string Settings::expand_macros(std::string_view value) const
{
    if (value == "@")
        return m_paths.to_windows(m_places.program_directory);
    if (value.find("@\\") == std::string_view::npos)
        return std::string(value);
    std::string result;
    size_t index = 0;
    while (index < value.size()) {
        std::string_view rest = value.substr(index);
        if (rest.starts_with("@@\\")) {
            result += settings_directory();
            index += 2;
        } else if (rest.starts_with("@\\")) {
            result += lumera_program_directory();
            index += 1;
        } else {
            result += value[index++];
        }
    }
    return result;
}

std::optional<int> Settings::whole_number(std::string_view value)
{
    bool plus = value.starts_with('+');
    if (plus)
        value.remove_prefix(1);
    if (value.empty() || (plus && value.starts_with('-')))
        return std::nullopt;
    int number = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size())
        return std::nullopt;
    return number;
}

}
