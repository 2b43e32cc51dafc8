// SPDX-License-Identifier: GPL-3.0-or-later
// ProcessLauncher: starting, listing, waiting for and ending other programs.
#pragma once

#include "platform/file_descriptor.h"
#include "base/result.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// What to start: an executable found already (UTF-8 path) and its argument
// vector, the program's own name first. The launcher never hands anything to
// a shell; callers that want one name /bin/sh themselves.
struct SpawnRequest {
    std::string executable;
    std::vector<std::string> arguments;
};

// A child whose standard streams are pipes held by this process. The ends
// are non-blocking and close-on-exec, so later children never inherit them.
struct CapturedProcess {
    int pid = 0;
    FileDescriptor input; // written by us, read by the child
    FileDescriptor output; // the child's standard output
    FileDescriptor error; // the child's standard error
};

// One running process as the process table shows it.
struct ProcessEntry {
    int pid = 0;
    // The file name of the executable image ("dash" for a shell script).
    std::string executable_name;
    // The kernel's short name: the last program file started, cut to 15
    // bytes ("uniq_probe_scri" for a shell script of that name).
    std::string short_name;
    // The argument vector; a script started through its "#!" line has the
    // interpreter first and the script's path second.
    std::vector<std::string> command_line;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;

    // In a session of its own, with three pipes for its standard streams.
    virtual base::Result<CapturedProcess> spawn_captured(const SpawnRequest& request) = 0;
    // In a session of its own, with standard streams on the null device.
    virtual base::Result<int> spawn_detached(const SpawnRequest& request) = 0;
    // Sharing this process's standard streams (and so its terminal).
    virtual base::Result<int> spawn_foreground(const SpawnRequest& request) = 0;

    // Waits up to `timeout_ms` (negative: without limit) for a child of ours
    // to end and collects it; true when it has ended.
    virtual bool wait_for_exit(int pid, int timeout_ms) = 0;
    // Collects every child of ours that has ended, so none stays a zombie.
    virtual void reap_children() = 0;

    virtual std::vector<ProcessEntry> list_processes() = 0;
    // Ends a process: `force` kills it outright, otherwise it is asked to end.
    virtual bool end_process(int pid, bool force) = 0;
    virtual int own_pid() = 0;

    // The executable that a bare program name finds through PATH; nothing
    // when none does.
    virtual std::optional<std::string> find_in_path(std::string_view name) = 0;
    // True when the path names a regular file that may be executed.
    virtual bool is_executable(const std::string& path) = 0;
    // True when the path names anything that exists.
    virtual bool exists(const std::string& path) = 0;

    // Writes to a child's input pipe without blocking for more than
    // `timeout_ms` and without a signal when the child has gone; the number
    // of bytes written.
    virtual size_t write_pipe(int fd, std::string_view data, int timeout_ms) = 0;
    // What is waiting in a pipe now, at most `limit` bytes; never blocks.
    virtual std::string read_pipe(int fd, size_t limit) = 0;
};

}
