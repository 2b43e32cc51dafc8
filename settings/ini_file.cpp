// SPDX-License-Identifier: GPL-3.0-or-later
// Reading one value out of the text of a Windows profile file (an ".ini" file).
#include "settings/ini_file.h"

#include "base/file_name_case.h"
#include "base/text_encoding.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace settings {

namespace {

// A settings file holds a few dozen lines; a limit keeps a wrong --ini (a
// disk image, a device) from being read whole at every setting.
constexpr size_t max_file_size = 1 << 20;

std::string_view trim_blanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

char32_t utf16_unit_at(std::string_view bytes, size_t index)
{
    return static_cast<unsigned char>(bytes[index]) | (static_cast<unsigned char>(bytes[index + 1]) << 8);
}

// Notepad's "Unicode" files. A character outside the basic plane (a pair of
// surrogates) cannot be Windows-1252 anyway and becomes one "?".
std::string utf16le_to_utf8(std::string_view bytes)
{
    std::string out;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t unit = utf16_unit_at(bytes, i);
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            bool pair = unit < 0xDC00 && i + 3 < bytes.size() && utf16_unit_at(bytes, i + 2) >= 0xDC00
                && utf16_unit_at(bytes, i + 2) <= 0xDFFF;
            if (pair)
                i += 2;
            unit = U'?';
        }
        base::append_utf8(out, unit);
    }
    return out;
}

}

std::optional<std::string> find_ini_value(std::string_view text, std::string_view section, std::string_view key)
{
    bool in_section = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = trim_blanks(text.substr(start, end - start));
        start = end + 1;
        if (line.empty())
            continue;
        if (line.front() == '[') {
            size_t close = line.find(']');
            std::string_view name = line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
            in_section = base::equal_ignoring_case(trim_blanks(name), section);
            continue;
        }
        if (!in_section)
            continue;
        size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        if (!base::equal_ignoring_case(trim_blanks(line.substr(0, equals)), key))
            continue;
        std::string_view value = trim_blanks(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::nullopt;
}

std::string read_ini_text(const std::string& system_path)
{
    // A pipe or a device named as the settings file would block or never end.
    std::error_code error;
    if (system_path.empty() || !std::filesystem::is_regular_file(system_path, error))
        return {};
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(system_path.c_str(), "rb"), std::fclose);
    if (!file)
        return {};
    // Settings are read afresh for every key, so the file is read in
    // chunks rather than into a zeroed buffer of the largest size.
    std::string bytes;
    char chunk[16384];
    while (bytes.size() < max_file_size) {
        size_t wanted = std::min(sizeof chunk, max_file_size - bytes.size());
        size_t length = std::fread(chunk, 1, wanted, file.get());
        bytes.append(chunk, length);
        if (length < wanted)
            break;
    }

    if (bytes.starts_with("\xFF\xFE"))
        return base::utf8_to_windows1252(utf16le_to_utf8(std::string_view(bytes).substr(2)));
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.erase(0, 3);
    return base::utf8_to_windows1252(bytes);
}

}
