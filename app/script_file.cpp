// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a script file into lines of Windows-1252 text.
#include "app/script_file.h"

#include "interpreter/script_store.h"
#include "base/text_encoding.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace app {

base::Result<std::vector<std::string>> split_script_text(const std::string& bytes)
{
    std::string text = base::utf8_to_windows1252(bytes);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        size_t content_end = end;
        if (content_end > start && text[content_end - 1] == '\r')
            --content_end;
        if (content_end - start > max_script_line_length)
            return base::Error { "line " + std::to_string(lines.size() + 1) + " is longer than "
                + std::to_string(max_script_line_length) + " bytes" };
        lines.emplace_back(text, start, content_end - start);
        if (lines.size() > interpreter::max_script_lines)
            return base::Error { "the script has more than " + std::to_string(interpreter::max_script_lines) + " lines" };
        start = end + 1;
    }
    return lines;
}

base::Result<std::vector<std::string>> read_script_file(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return base::Error { "cannot read '" + path + "': it is a directory" };
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return base::Error { "cannot open '" + path + "': " + std::strerror(errno) };
    std::ostringstream contents;
    contents << file.rdbuf();
    if (file.bad())
        return base::Error { "cannot read '" + path + "'" };
    auto lines = split_script_text(contents.str());
    if (!lines)
        return base::Error { "'" + path + "': " + lines.error().message };
    return lines;
}

}
