// SPDX-License-Identifier: GPL-3.0-or-later
// Reading command lines the way the Windows command line reads them.
#include "system/windows_command_line.h"

#include "interpreter/text.h"

namespace sys {

namespace {

bool is_word_gap(char c) { return c == ' ' || c == '\t'; }

}

std::vector<std::string> split_windows_command_line(std::string_view line)
{
    std::vector<std::string> words;
    size_t index = 0;
    while (index < line.size() && is_word_gap(line[index]))
        ++index;
    if (index >= line.size())
        return words;

    std::string program;
    bool quoted = false;
    for (; index < line.size(); ++index) {
        char c = line[index];
        if (c == '"')
            quoted = !quoted;
        else if (is_word_gap(c) && !quoted)
            break;
        else
            program += c;
    }
    words.push_back(std::move(program));

    for (;;) {
        while (index < line.size() && is_word_gap(line[index]))
            ++index;
        if (index >= line.size())
            break;
        std::string word;
        quoted = false;
        while (index < line.size()) {
            char c = line[index];
            if (c == '\\') {
                size_t backslashes = 0;
                while (index < line.size() && line[index] == '\\') {
                    ++backslashes;
                    ++index;
                }
                if (index < line.size() && line[index] == '"') {
                    word.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        word += '"';
                        ++index;
                    }
                } else {
                    word.append(backslashes, '\\');
                }
                continue;
            }
            if (c == '"') {
                // Inside quotes, a doubled quote is one literal quote.
                if (quoted && index + 1 < line.size() && line[index + 1] == '"') {
                    word += '"';
                    index += 2;
                    continue;
                }
                quoted = !quoted;
                ++index;
                continue;
            }
            if (is_word_gap(c) && !quoted)
                break;
            word += c;
            ++index;
        }
        words.push_back(std::move(word));
    }
    return words;
}

ProgramAndParameters split_program_and_parameters(std::string_view value)
{
    ProgramAndParameters parts;
    if (!value.empty() && value[0] == '"') {
        value.remove_prefix(1);
        auto close = value.find('"');
        if (close == std::string_view::npos) {
            parts.program = value;
        } else {
            parts.program = value.substr(0, close);
            parts.parameters = interpreter::trim(value.substr(close + 1));
        }
        return parts;
    }
    auto blank = value.find(' ');
    if (blank == std::string_view::npos) {
        parts.program = value;
    } else {
        parts.program = value.substr(0, blank);
        parts.parameters = value.substr(blank + 1);
    }
    return parts;
}

ProgramAndParameters shell_start_parts(std::string_view program, std::string_view parameters)
{
    program = interpreter::trim(program);
    ProgramAndParameters parts { std::string(program), std::string(parameters) };
    if (program.empty() || program[0] != '"')
        return parts;
    auto close = program.find('"', 1);
    if (close == std::string_view::npos) {
        parts.program = program.substr(1);
        return parts;
    }
    parts.program = program.substr(1, close - 1);
    auto after = interpreter::trim(program.substr(close + 1));
    if (!after.empty())
        parts.parameters = parameters.empty() ? std::string(after) : std::string(after) + " " + std::string(parameters);
    return parts;
}

std::string ascii_upper(std::string_view text)
{
    std::string upper(text);
    for (auto& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    }
    return upper;
}

bool equals_ascii_insensitive(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

std::string_view without_exe_suffix(std::string_view name)
{
    if (name.size() > 4 && equals_ascii_insensitive(name.substr(name.size() - 4), ".exe"))
        name.remove_suffix(4);
    return name;
}

std::string_view file_name_part(std::string_view path)
{
    auto separator = path.find_last_of("\\/");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}
