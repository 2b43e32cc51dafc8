// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/document_word.h"

#include "interpreter/runtime.h"
#include "interpreter/text.h"
#include "platform/path_map.h"
#include "settings/setting_keys.h"

#include <algorithm>
#include <filesystem>

namespace console {

namespace {

constexpr std::string_view stripped_characters = "\"(*-.<=>[_{";

bool is_link(std::string_view word)
{
    return interpreter::starts_with_upper(word, "HTTP://") || interpreter::starts_with_upper(word, "HTTPS://")
        || interpreter::starts_with_upper(word, "WWW.");
}

// The three characters after the first "." of the file's own name (a dot
// in a folder name says nothing about the file), upper-cased.
std::string extension_of(std::string_view name)
{
    auto last_separator = name.find_last_of("\\/");
    auto own_name = last_separator == std::string_view::npos ? name : name.substr(last_separator + 1);
    auto dot = own_name.find('.');
    if (dot == std::string_view::npos)
        return {};
    return interpreter::upper_text(own_name.substr(dot + 1, 3));
}

// A name with a drive letter or a leading backslash is absolute already.
std::string made_absolute(std::string_view name, std::string_view current_directory)
{
    bool has_drive = name.size() >= 2 && name[1] == ':';
    if (has_drive || name.starts_with('\\') || name.starts_with('/') || current_directory.empty())
        return std::string(name);
    std::string path(current_directory);
    if (!path.ends_with('\\') && !path.ends_with('/'))
        path += '\\';
    return path + std::string(name);
}

std::string current_directory(interpreter::Runtime& runtime)
{
    std::error_code error;
    auto directory = std::filesystem::current_path(error);
    if (error)
        return {};
    if (runtime.subsystems.paths)
        return runtime.subsystems.paths->to_windows(directory.string());
    return directory.string();
}

}

std::string document_word_at(std::string_view field, int cursor)
{
    if (field.empty())
        return {};
    size_t at = static_cast<size_t>(std::clamp(cursor, 0, static_cast<int>(field.size())));
    size_t start = at;
    while (start > 0 && field[start - 1] != ' ')
        --start;
    size_t end = at;
    while (end < field.size() && field[end] != ' ')
        ++end;
    auto word = field.substr(start, end - start);
    while (!word.empty() && stripped_characters.find(word.front()) != std::string_view::npos)
        word.remove_prefix(1);
    while (!word.empty() && stripped_characters.find(word.back()) != std::string_view::npos)
        word.remove_suffix(1);
    return std::string(word);
}

DocumentOpening plan_document_opening(
    std::string_view word, const settings::Settings& settings, std::string_view current_directory)
{
    if (is_link(word)) {
        std::string program = settings::link_opener_program(settings);
        if (program.empty())
            return { std::string(word), {} };
        return { program, std::string(word) };
    }
    std::string extension = extension_of(word);
    if (extension == "EXE" || extension == "COM")
        return { made_absolute(word, current_directory), {} };
    std::string program;
    if (!extension.empty())
        program = settings::file_opener_program(settings, extension);
    if (program.empty())
        return { std::string(word), {} };
    return { program, std::string(word) };
}

void open_document_word(interpreter::Runtime& runtime, std::string_view word)
{
    if (word.empty()) {
        runtime.speech.play_beep();
        return;
    }
    auto opening = plan_document_opening(word, *runtime.subsystems.settings, current_directory(runtime));
    runtime.speech.wait_until_quiet();
    bool opened = runtime.world.open_document(opening.file, opening.parameter);
    runtime.speech.wait_until_quiet();
    // The user hears that nothing opened instead of waiting for a window.
    if (!opened)
        runtime.speech.play_beep();
}

}
