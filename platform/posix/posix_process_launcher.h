// SPDX-License-Identifier: GPL-3.0-or-later
// PosixProcessLauncher: processes through posix_spawn and /proc.
#pragma once

#include "platform/process_launcher.h"

#include <vector>

namespace platform {

class PosixProcessLauncher final : public ProcessLauncher {
public:
    PosixProcessLauncher() = default;
    ~PosixProcessLauncher() override;
    PosixProcessLauncher(const PosixProcessLauncher&) = delete;
    PosixProcessLauncher& operator=(const PosixProcessLauncher&) = delete;

    base::Result<CapturedProcess> spawn_captured(const SpawnRequest& request) override;
    base::Result<int> spawn_detached(const SpawnRequest& request) override;
    base::Result<int> spawn_foreground(const SpawnRequest& request) override;
    bool wait_for_exit(int pid, int timeout_ms) override;
    void reap_children() override;
    std::vector<ProcessEntry> list_processes() override;
    bool end_process(int pid, bool force) override;
    int own_pid() override;
    std::optional<std::string> find_in_path(std::string_view name) override;
    bool is_executable(const std::string& path) override;
    bool exists(const std::string& path) override;
    size_t write_pipe(int fd, std::string_view data, int timeout_ms) override;
    std::string read_pipe(int fd, size_t limit) override;

private:
    void remember(int pid, const SpawnRequest& request);

    // Children started here and not collected yet: each is collected once
    // it ends, so that none is left a zombie. What they were started as is
    // kept, because for a moment after the start /proc still shows this
    // process's image and command line for them.
    struct Child {
        int pid;
        std::string executable;
        std::vector<std::string> arguments;
    };
    std::vector<Child> m_children;
};

}
