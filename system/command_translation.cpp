// SPDX-License-Identifier: GPL-3.0-or-later
// The compatibility layer: Windows command lines turned into starts on this system.
#include "system/command_translation.h"

#include "interpreter/number.h"
#include "interpreter/text.h"
#include "platform/path_map.h"
#include "base/text_encoding.h"
#include "system/windows_command_line.h"

#include <cstring>

namespace sys {

namespace {

constexpr std::string_view shell_path = "/bin/sh";

bool is_drive_path(std::string_view text)
{
    return text.size() >= 2 && interpreter::is_ascii_letter(text[0]) && text[1] == ':'
        && (text.size() == 2 || text[2] == '\\' || text[2] == '/');
}

bool looks_like_windows_path(std::string_view word)
{
    return is_drive_path(word) || word.find('\\') != std::string_view::npos;
}

// Characters that end a word of a command interpreter line.
bool is_operator_char(char c) { return c == '<' || c == '>' || c == '|' || c == '&' || c == '(' || c == ')'; }
bool is_gap(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Characters a word may hold and still reach the shell unquoted.
bool is_plain_shell_char(char c)
{
    if (interpreter::is_ascii_letter(c) || interpreter::is_digit(c))
        return true;
    return std::strchr("_-./:=,+@%", c) != nullptr && c != '\0';
}

// A mapped path that does not exist but exists without ".exe" is taken
// without it.
std::string without_missing_exe(std::string system_path, platform::ProcessLauncher& launcher)
{
    auto shorter = without_exe_suffix(system_path);
    if (shorter.size() != system_path.size() && !launcher.exists(system_path) && launcher.exists(std::string(shorter)))
        return std::string(shorter);
    return system_path;
}

// The command interpreter's own commands: they run even when a program of
// the same name is in the current folder.
constexpr std::string_view internal_commands[] = { "assoc", "break", "call", "cd", "chdir", "cls", "color", "copy",
    "date", "del", "dir", "echo", "endlocal", "erase", "exit", "for", "ftype", "goto", "if", "md", "mkdir", "mklink",
    "move", "path", "pause", "popd", "prompt", "pushd", "rd", "rem", "ren", "rename", "rmdir", "set", "setlocal",
    "shift", "start", "time", "title", "type", "ver", "verify", "vol" };

// A bare command name is looked for in the current folder before PATH, as
// the command interpreter of Windows does, with or without ".exe". The
// result ("./name") keeps the shell from searching PATH instead.
std::optional<std::string> program_in_current_folder(
    std::string_view word, const platform::PathMap& paths, platform::ProcessLauncher& launcher)
{
    if (word.empty() || word.find('/') != std::string_view::npos)
        return std::nullopt;
    for (auto command : internal_commands) {
        if (equals_ascii_insensitive(word, command))
            return std::nullopt;
    }
    auto shorter = without_exe_suffix(word);
    auto other = shorter.size() != word.size() ? std::string(shorter) : std::string(word) + ".exe";
    for (const auto& name : { std::string(word), other }) {
        auto local = paths.to_system(name);
        if (!local.empty() && local.find('/') == std::string::npos && launcher.is_executable(local))
            return "./" + local;
    }
    return std::nullopt;
}

}

std::optional<std::string_view> command_interpreter_line(std::string_view command_line)
{
    command_line = interpreter::trim(command_line);
    auto words = split_windows_command_line(command_line);
    if (words.size() < 2)
        return std::nullopt;
    if (!equals_ascii_insensitive(without_exe_suffix(file_name_part(words[0])), "cmd"))
        return std::nullopt;
    // Find where the switch ends in the raw text: the line after it is taken
    // as written, since its quotes belong to the interpreter of the line.
    size_t index = 0;
    bool quoted = false;
    while (index < command_line.size() && (quoted || !is_gap(command_line[index]))) {
        if (command_line[index] == '"')
            quoted = !quoted;
        ++index;
    }
    auto rest = interpreter::trim_front(command_line.substr(index));
    if (rest.size() < 2 || rest[0] != '/' || (rest[1] != 'c' && rest[1] != 'C' && rest[1] != 'k' && rest[1] != 'K'))
        return std::nullopt;
    if (rest.size() > 2 && !is_gap(rest[2]))
        return std::nullopt;
    return interpreter::trim(rest.substr(2));
}

std::optional<TaskKill> parse_task_kill(std::string_view line)
{
    auto words = split_windows_command_line(line);
    if (words.empty() || !equals_ascii_insensitive(without_exe_suffix(file_name_part(words[0])), "taskkill"))
        return std::nullopt;
    auto is_redirection = [](std::string_view word) {
        return word.starts_with(">") || word.starts_with("<") || word.starts_with("1>") || word.starts_with("2>");
    };
    // Anything joined to it with an operator is more than taskkill alone.
    for (size_t i = 1; i < words.size(); ++i) {
        if (!is_redirection(words[i]) && words[i].find_first_of("&|") != std::string::npos)
            return std::nullopt;
    }
    TaskKill kill;
    for (size_t i = 1; i < words.size(); ++i) {
        std::string_view word = words[i];
        if (is_redirection(word)) {
            // Where taskkill's own messages go: "> nul" names its target
            // in the next word.
            if (word.find_last_not_of("<>12") == std::string_view::npos)
                ++i;
            continue;
        }
        auto option = ascii_upper(word);
        if (option == "/F") {
            kill.force = true;
        } else if (option == "/T") {
            continue; // the process tree: each process of the name is ended anyway
        } else if ((option == "/IM" || option == "/PID") && i + 1 < words.size()) {
            std::string_view operand = words[++i];
            if (option == "/IM") {
                kill.image_names.emplace_back(operand);
            } else {
                auto pid = interpreter::parse_number(operand);
                if (!pid || *pid <= 0)
                    return std::nullopt;
                kill.pids.push_back(*pid);
            }
        } else {
            return std::nullopt;
        }
    }
    if (kill.image_names.empty() && kill.pids.empty())
        return std::nullopt;
    return kill;
}

std::optional<std::string> resolve_program(
    std::string_view program, const platform::PathMap& paths, platform::ProcessLauncher& launcher)
{
    program = interpreter::trim(program);
    if (program.empty())
        return std::nullopt;
    auto shorter = without_exe_suffix(program);
    bool has_exe = shorter.size() != program.size();
    if (program.find_first_of("\\/") != std::string_view::npos || is_drive_path(program)) {
        auto path = paths.to_system(program);
        if (!path.empty() && launcher.is_executable(path))
            return path;
        if (has_exe) {
            auto short_path = paths.to_system(shorter);
            if (!short_path.empty() && launcher.is_executable(short_path))
                return short_path;
        }
        return std::nullopt;
    }
    for (auto name : { program, shorter }) {
        if (auto found = launcher.find_in_path(base::windows1252_to_utf8(name)))
            return found;
        // Windows also looks in the current folder; here it comes last.
        auto local = paths.to_system(name);
        if (!local.empty() && launcher.is_executable(local))
            return local.find('/') == std::string::npos ? "./" + local : local;
        if (!has_exe)
            break;
    }
    return std::nullopt;
}

std::string shell_quote(std::string_view utf8_text)
{
    std::string quoted = "'";
    for (char c : utf8_text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += '\'';
    return quoted;
}

std::string translate_shell_line(
    std::string_view line, const platform::PathMap& paths, platform::ProcessLauncher& launcher)
{
    std::string out;
    bool command_position = true; // the next word names a program
    bool redirect_target = false; // the next word follows "<" or ">"
    size_t index = 0;
    while (index < line.size()) {
        char c = line[index];
        if (is_gap(c)) {
            out += ' ';
            ++index;
            continue;
        }
        if (is_operator_char(c)) {
            size_t length = 1;
            std::string_view text = line.substr(index);
            if (text.starts_with("&&") || text.starts_with("||") || text.starts_with(">>"))
                length = 2;
            else if (text.starts_with(">&") && text.size() > 2 && interpreter::is_digit(text[2]))
                length = 3;
            std::string_view operator_text = line.substr(index, length);
            index += length;
            if (operator_text == "&") {
                out += ';';
            } else {
                out += operator_text;
            }
            redirect_target = operator_text == "<" || operator_text == ">" || operator_text == ">>";
            if (operator_text == "&&" || operator_text == "||" || operator_text == "|" || operator_text == "&"
                || operator_text == "(")
                command_position = true;
            else if (operator_text == ")")
                command_position = false;
            continue;
        }
        // A word: quoted parts and plain parts up to a gap or an operator.
        std::string word;
        bool had_quotes = false;
        while (index < line.size() && !is_gap(line[index]) && !is_operator_char(line[index])) {
            if (line[index] == '"') {
                had_quotes = true;
                auto close = line.find('"', index + 1);
                if (close == std::string_view::npos)
                    close = line.size();
                word.append(line.substr(index + 1, close - index - 1));
                index = close + 1;
            } else {
                word += line[index++];
            }
        }
        // "2>x": a digit written straight before a redirection names a stream.
        if (!had_quotes && word.size() == 1 && interpreter::is_digit(word[0]) && index < line.size()
            && (line[index] == '>' || line[index] == '<')) {
            out += word;
            continue;
        }
        std::string translated;
        if (redirect_target && !had_quotes && equals_ascii_insensitive(word, "nul")) {
            translated = "/dev/null";
        } else if (looks_like_windows_path(word)) {
            auto path = paths.to_system(word);
            if (command_position && !redirect_target)
                path = without_missing_exe(path, launcher);
            translated = shell_quote(path);
        } else if (auto local = command_position && !redirect_target ? program_in_current_folder(word, paths, launcher)
                                                                      : std::nullopt) {
            translated = shell_quote(*local);
        } else {
            std::string utf8 = base::windows1252_to_utf8(word);
            if (command_position && !redirect_target && !had_quotes) {
                auto shorter = without_exe_suffix(utf8);
                if (shorter.size() != utf8.size() && !launcher.find_in_path(utf8) && launcher.find_in_path(std::string(shorter)))
                    utf8 = shorter;
            }
            bool plain = !had_quotes && !utf8.empty();
            for (char byte : utf8)
                plain = plain && is_plain_shell_char(byte);
            translated = plain ? utf8 : shell_quote(utf8);
        }
        out += translated;
        if (!redirect_target)
            command_position = false;
        redirect_target = false;
    }
    return out;
}

LaunchPlan plan_command_line(
    std::string_view command_line, const platform::PathMap& paths, platform::ProcessLauncher& launcher)
{
    LaunchPlan plan;
    if (auto line = command_interpreter_line(command_line)) {
        if (auto kill = parse_task_kill(*line)) {
            plan.kind = LaunchPlan::Kind::task_kill;
            plan.task_kill = std::move(*kill);
            return plan;
        }
        // The shell is started under the command interpreter's name, so that
        // a script waiting while "cmd.exe" runs sees it end with its line.
        plan.kind = LaunchPlan::Kind::shell_line;
        plan.request.executable = std::string(shell_path);
        plan.request.arguments = { "cmd", "-c", translate_shell_line(*line, paths, launcher) };
        return plan;
    }
    auto words = split_windows_command_line(command_line);
    if (words.empty())
        return plan;
    auto executable = resolve_program(words[0], paths, launcher);
    if (!executable)
        return plan;
    plan.kind = LaunchPlan::Kind::program;
    plan.request.executable = *executable;
    plan.request.arguments.push_back(std::string(file_name_part(*executable)));
    for (size_t i = 1; i < words.size(); ++i) {
        if (is_drive_path(words[i]))
            plan.request.arguments.push_back(paths.to_system(words[i]));
        else
            plan.request.arguments.push_back(base::windows1252_to_utf8(words[i]));
    }
    return plan;
}

}
