// SPDX-License-Identifier: GPL-3.0-or-later
// Reading command lines the way the Windows command line reads them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sys {

// A command line cut into words as a Windows program's start-up code cuts
// it: blanks separate words, double quotes group (and are dropped), "\""
// is a quote, 2n backslashes before a quote are n backslashes and the quote
// groups, and other backslashes are kept. The first word (the program) is
// read more simply: up to the first blank outside quotes, quotes dropped,
// backslashes always kept, since paths end in them.
std::vector<std::string> split_windows_command_line(std::string_view line);

// EXECUTA's split of its value into a program and its parameters: a value
// that begins with a double quote names the program up to the closing
// quote; otherwise the program ends at the first blank.
struct ProgramAndParameters {
    std::string program;
    std::string parameters;
};
ProgramAndParameters split_program_and_parameters(std::string_view value);

// The shell start's extra step: a program text that begins with a quote
// keeps only the quoted part; the text after the closing quote goes in front
// of the parameters.
ProgramAndParameters shell_start_parts(std::string_view program, std::string_view parameters);

// Upper-cases ASCII letters only; for names of programs and options.
std::string ascii_upper(std::string_view text);
bool equals_ascii_insensitive(std::string_view a, std::string_view b);
// The name without a final ".exe" in any case.
std::string_view without_exe_suffix(std::string_view name);
// The part after the last "\" or "/".
std::string_view file_name_part(std::string_view path);

}
