// SPDX-License-Identifier: GPL-3.0-or-later
// corvante --check: reading scripts without running them and reporting what is wrong.
#include "app/script_check.h"

#include "app/script_file.h"
#include "app/script_host.h"
#include "base/text_encoding.h"
#include "interpreter/command_table.h"
#include "interpreter/script_checker.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace app {

base::Result<std::vector<std::string>> split_lines_for_check(const std::string& bytes)
{
    auto decoded = decode_script_text(bytes);
    if (!decoded)
        return decoded.error();
    return split_text_lines(*decoded, SIZE_MAX);
}

int check_scripts(const std::vector<std::string>& paths, std::FILE* out)
{
    interpreter::CommandTable table;
    bind_all_statements(table);
    int status = 0;
    for (const auto& path : paths) {
        std::error_code error;
        std::ifstream file(path, std::ios::binary);
        if (std::filesystem::is_directory(path, error) || !file) {
            const char* cause = std::filesystem::is_directory(path, error) ? "it is a directory" : std::strerror(errno);
            std::fprintf(out, "%s: cannot read the script: %s\n", path.c_str(), cause);
            status = 2;
            continue;
        }
        std::ostringstream contents;
        contents << file.rdbuf();
        auto lines = split_lines_for_check(contents.str());
        if (!lines) {
            std::fprintf(out, "%s: cannot read the script: %s\n", path.c_str(), lines.error().message.c_str());
            status = 2;
            continue;
        }
        auto diagnostics = interpreter::check_script(table, *lines, { .max_line_length = max_script_line_length });
        for (const auto& diagnostic : diagnostics) {
            std::string message = base::windows1252_to_utf8(interpreter::describe_diagnostic(diagnostic));
            std::fprintf(out, "%s:%d: %s\n", path.c_str(), diagnostic.line, message.c_str());
        }
        if (!diagnostics.empty() && status == 0)
            status = 1;
    }
    return status;
}

}
