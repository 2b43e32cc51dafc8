// SPDX-License-Identifier: GPL-3.0-or-later
// The compatibility layer: Windows command lines turned into starts on this system.
#pragma once

#include "platform/process_launcher.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class PathMap;
}

namespace sys {

// "taskkill" as scripts use it: the processes to end by image name or id.
struct TaskKill {
    std::vector<std::string> image_names; // as written, Windows-1252
    std::vector<int> pids;
    bool force = false;
};

// What a command line comes to once the compatibility rules are applied.
struct LaunchPlan {
    enum class Kind {
        program, // `request` starts a program directly
        shell_line, // `request` runs /bin/sh -c with the translated line
        task_kill, // end processes here; nothing is started
        not_found, // the program cannot be found
    };
    Kind kind = Kind::not_found;
    platform::SpawnRequest request;
    TaskKill task_kill;
};

// The text after "cmd /c" (or "/k"), when the command line's program is the
// Windows command interpreter; nothing otherwise.
std::optional<std::string_view> command_interpreter_line(std::string_view command_line);

// "taskkill" with "/im NAME", "/pid N", "/f" and "/t", followed at most by
// redirections; nothing for any other line.
std::optional<TaskKill> parse_task_kill(std::string_view line);

// Finds the executable a program text names: a path (drive letters and
// backslashes mapped), or a bare name on PATH and then in the current
// folder. A name ending in ".exe" that finds nothing is tried without it.
std::optional<std::string> resolve_program(
    std::string_view program, const platform::PathMap& paths, platform::ProcessLauncher& launcher);

// Rewrites a command interpreter line for /bin/sh: every Windows-style path
// (a drive letter and a colon, or any word with a backslash) is mapped and
// single-quoted, quoted texts become single-quoted texts, "nul" as a
// redirection target becomes /dev/null, a lone "&" (run one command after
// the other) becomes ";", words holding characters that the shell would
// expand are quoted, a command word without a slash that names a program
// in the current folder (with or without ".exe") becomes that program's
// quoted path there, since the Windows command interpreter looks there
// before PATH, and a command word ending in ".exe" finds the program
// without it. The result is UTF-8.
std::string translate_shell_line(
    std::string_view line, const platform::PathMap& paths, platform::ProcessLauncher& launcher);

// Quotes text for the shell so that it stays one literal word.
std::string shell_quote(std::string_view utf8_text);

// The plan for a captured or hidden start of a whole command line: the
// command interpreter forms, then a program and its arguments split the
// Windows way, never through a shell. Arguments that begin with a drive
// path ("c:\...") are mapped like the program.
LaunchPlan plan_command_line(
    std::string_view command_line, const platform::PathMap& paths, platform::ProcessLauncher& launcher);

}
