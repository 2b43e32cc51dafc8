// SPDX-License-Identifier: GPL-3.0-or-later
// PathMap: turns the Windows-style paths that scripts write into paths of this system.
#include "platform/path_map.h"

#include "base/file_name_case.h"
#include "base/text_encoding.h"
#include "platform/user_folders.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

namespace platform {

namespace {

namespace fs = std::filesystem;

// Windows refuses longer paths even in their extended form; refusing them
// here keeps a runaway script from building paths of any size.
constexpr size_t max_path_length = 32767;

bool is_separator(char c)
{
    return c == '\\' || c == '/';
}

bool is_letter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int drive_index(char letter)
{
    return (letter >= 'a' ? letter - 'a' : letter - 'A');
}

// The name a script would write for a directory entry, or nothing when no
// Windows-1252 text names it. Names that are not UTF-8 (left by an older
// system in Latin-1) are taken byte for byte, as the conversion of the
// script's own text would have produced them.
std::optional<std::string> script_name_of(const std::string& entry)
{
    if (!base::is_multibyte_utf8(entry))
        return entry;
    std::string converted = base::utf8_to_windows1252(entry);
    if (base::windows1252_to_utf8(converted) != entry)
        return std::nullopt;
    return converted;
}

bool exists_without_following(const std::string& path)
{
    std::error_code error;
    auto status = fs::symlink_status(path, error);
    return !error && fs::exists(status);
}

std::string join(const std::string& base, const std::string& name)
{
    if (base.empty())
        return name;
    if (base.back() == '/')
        return base + name;
    return base + '/' + name;
}

// The entry of `folder` that matches `wanted` (Windows-1252) without regard
// to case. When several do, the first in byte order wins, so that the choice
// does not depend on the order the file system lists them in.
std::optional<std::string> find_ignoring_case(const std::string& folder, std::string_view wanted)
{
    std::error_code error;
    fs::directory_iterator entries(folder.empty() ? "." : folder, error);
    if (error)
        return std::nullopt;
    std::optional<std::string> best;
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        if (error)
            break;
        std::string entry = entries->path().filename().string();
        auto name = script_name_of(entry);
        if (name && base::equal_ignoring_case(*name, wanted) && (!best || entry < *best))
            best = std::move(entry);
    }
    return best;
}

// Windows drops trailing dots and spaces from every component ("nota." is
// "nota"); scripts written there may rely on it.
std::string_view strip_trailing_dots_and_spaces(std::string_view component)
{
    while (!component.empty() && (component.back() == '.' || component.back() == ' '))
        component.remove_suffix(1);
    return component;
}

// The reserved device name NUL, with or without an extension, discards what
// is written to it on Windows; scripts use it to throw output away.
bool is_null_device(std::string_view component)
{
    std::string_view stem = component.substr(0, component.find('.'));
    return base::equal_ignoring_case(strip_trailing_dots_and_spaces(stem), "NUL");
}

std::string normalised_root(std::string_view root)
{
    std::error_code error;
    fs::path path(root);
    if (path.is_relative()) {
        auto absolute = fs::absolute(path, error);
        if (!error)
            path = absolute;
    }
    std::string text = path.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

}

PathMap::PathMap()
    : PathMap(default_drive_c_root())
{
}

PathMap::PathMap(std::string drive_c_root)
{
    set_drive('C', drive_c_root);
}

std::string PathMap::default_drive_c_root()
{
    return data_home() + "/lumera/c";
}

bool PathMap::set_drive(char letter, std::string_view root)
{
    if (!is_letter(letter))
        return false;
    m_drives[drive_index(letter)] = root.empty() ? std::string() : normalised_root(root);
    return true;
}

std::string PathMap::drive_root(char letter) const
{
    if (!is_letter(letter))
        return {};
    return m_drives[drive_index(letter)];
}

int PathMap::current_drive() const
{
    std::error_code error;
    std::string current = fs::current_path(error).string();
    int best = drive_index('C');
    size_t best_length = 0;
    if (error)
        return best;
    for (size_t index = 0; index < m_drives.size(); ++index) {
        const std::string& root = m_drives[index];
        if (root.empty() || root.size() <= best_length)
            continue;
        bool inside = current == root
            || (current.starts_with(root) && (root == "/" || current[root.size()] == '/'));
        if (inside) {
            best = static_cast<int>(index);
            best_length = root.size();
        }
    }
    return best;
}

std::string PathMap::to_system(std::string_view windows_path) const
{
    if (windows_path.empty() || windows_path.size() > max_path_length
        || windows_path.find('\0') != std::string_view::npos)
        return {};

    // The base the components hang from: a drive's root, "/" for a POSIX
    // path, or nothing for a path relative to the current directory.
    std::string base;
    bool absolute = true;
    bool windows_rules = true;
    std::string_view rest = windows_path;
    if (rest.size() >= 2 && is_letter(rest[0]) && rest[1] == ':') {
        // "c:x" is relative to drive C's current folder on Windows; every
        // drive's current folder here is its root.
        base = m_drives[drive_index(rest[0])];
        rest.remove_prefix(2);
    } else if (rest[0] == '/') {
        base = "/";
        windows_rules = false;
    } else if (rest[0] == '\\') {
        base = m_drives[current_drive()];
    } else {
        absolute = false;
    }
    if (absolute && base.empty())
        return {};

    std::vector<std::string_view> components;
    size_t leading_parents = 0;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = start;
        while (end < rest.size() && !is_separator(rest[end]))
            ++end;
        std::string_view component = rest.substr(start, end - start);
        start = end + 1;
        if (component == "..") {
            // Above a root there is nothing: Windows stays at the root.
            if (components.size() > leading_parents)
                components.pop_back();
            else if (!absolute) {
                components.push_back(component);
                ++leading_parents;
            }
            continue;
        }
        if (windows_rules)
            component = strip_trailing_dots_and_spaces(component);
        if (component.empty() || component == ".")
            continue;
        components.push_back(component);
    }
    if (windows_rules && !components.empty() && components.size() > leading_parents && is_null_device(components.back()))
        return "/dev/null";

    std::string result = base;
    bool folder_exists = true;
    for (size_t index = 0; index < components.size(); ++index) {
        std::string_view component = components[index];
        if (index < leading_parents) {
            result = join(result, std::string(component));
            continue;
        }
        std::string name = base::windows1252_to_utf8(component);
        if (folder_exists && !exists_without_following(join(result, name))) {
            if (auto found = find_ignoring_case(result, component))
                name = std::move(*found);
            else
                folder_exists = false;
        }
        result = join(result, name);
    }
    if (result.empty())
        result = ".";
    if (is_separator(windows_path.back()) && result.back() != '/')
        result += '/';
    return result;
}

std::string PathMap::to_windows(std::string_view system_path) const
{
    std::string path(system_path);
    if (path.empty() || path[0] != '/') {
        for (char& c : path) {
            if (c == '/')
                c = '\\';
        }
        return base::utf8_to_windows1252(path);
    }
    int best = -1;
    size_t best_length = 0;
    for (size_t index = 0; index < m_drives.size(); ++index) {
        const std::string& root = m_drives[index];
        if (root.empty() || (best >= 0 && root.size() <= best_length))
            continue;
        bool inside = path == root
            || (path.starts_with(root) && (root == "/" || path[root.size()] == '/'));
        if (inside) {
            best = static_cast<int>(index);
            best_length = root.size();
        }
    }
    if (best < 0)
        return base::utf8_to_windows1252(path);
    std::string result;
    result += static_cast<char>('a' + best);
    result += ':';
    size_t skipped = best_length == 1 ? 1 : std::min(best_length + 1, path.size());
    std::string_view rest = std::string_view(path).substr(skipped);
    result += '\\';
    for (char c : rest)
        result += (c == '/') ? '\\' : c;
    while (result.size() > 3 && result.back() == '\\')
        result.pop_back();
    return base::utf8_to_windows1252(result);
}

}
