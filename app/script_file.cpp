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
#include <sys/stat.h>

namespace app {

namespace {

constexpr std::string_view utf8_mark = "\xEF\xBB\xBF";
constexpr std::string_view utf16_little_mark = "\xFF\xFE";
constexpr std::string_view utf16_big_mark = "\xFE\xFF";

// The UTF-8 form of UTF-16 text (its mark already taken off). A surrogate
// without its partner becomes U+FFFD, which has no Windows-1252 byte, as any
// character the script cannot hold.
base::Result<std::string> utf16_to_utf8(std::string_view bytes, bool little_endian)
{
    if (bytes.size() % 2 != 0)
        return base::Error { "not a script: UTF-16 text with an odd number of bytes" };
    auto unit_at = [&](size_t index) {
        auto first = static_cast<unsigned char>(bytes[index]);
        auto second = static_cast<unsigned char>(bytes[index + 1]);
        return static_cast<char32_t>(little_endian ? first | (second << 8) : (first << 8) | second);
    };
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); i += 2) {
        char32_t unit = unit_at(i);
        if (unit == 0)
            return base::Error { "not a script: it holds NUL characters" };
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            char32_t low = unit_at(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                base::append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        base::append_utf8(out, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
    return out;
}


}

// The file's text in Windows-1252, whatever form an editor saved it in.
base::Result<std::string> decode_script_text(std::string_view bytes)
{
    if (bytes.starts_with(utf16_little_mark) || bytes.starts_with(utf16_big_mark)) {
        auto utf8 = utf16_to_utf8(bytes.substr(2), bytes.starts_with(utf16_little_mark));
        if (!utf8)
            return utf8.error();
        return base::utf8_to_windows1252(*utf8);
    }
    // A NUL byte is in no text an editor writes: the file is a program, a
    // picture or a device, whose bytes must not be run as statements.
    if (bytes.find('\0') != std::string_view::npos)
        return base::Error { "not a script: it holds NUL bytes" };
    if (bytes.starts_with(utf8_mark))
        bytes.remove_prefix(utf8_mark.size());
    return base::utf8_to_windows1252(bytes);
}

std::vector<std::string> split_text_lines(const std::string& text, size_t most_lines)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size() && lines.size() < most_lines) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        size_t content_end = end;
        if (content_end > start && text[content_end - 1] == '\r')
            --content_end;
        lines.emplace_back(text, start, content_end - start);
        start = end + 1;
    }
    return lines;
}

base::Result<std::vector<std::string>> split_script_text(const std::string& bytes)
{
    auto decoded = decode_script_text(bytes);
    if (!decoded)
        return decoded.error();
    // One line past the limit is enough to refuse the file.
    auto lines = split_text_lines(*decoded, interpreter::max_script_lines + 1);
    for (size_t index = 0; index < lines.size(); ++index) {
        if (lines[index].size() > max_script_line_length)
            return base::Error { "line " + std::to_string(index + 1) + " is longer than "
                + std::to_string(max_script_line_length) + " bytes" };
    }
    if (lines.size() > interpreter::max_script_lines)
        return base::Error { "the script has more than " + std::to_string(interpreter::max_script_lines) + " lines" };
    return lines;
}

base::Result<std::vector<std::string>> read_script_file(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return base::Error { "cannot read '" + path + "': it is a directory" };
    // A device or a pipe could hang the start for ever (/dev/zero never
    // ends) or feed it anything: only a regular file is a script.
    struct stat status {};
    if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
        return base::Error { "cannot read '" + path + "': not a script (not a regular file)" };
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
