// SPDX-License-Identifier: GPL-3.0-or-later
// FakeProcessLauncher: a process table in memory, for tests of what starts what.
#pragma once

#include "platform/process_launcher.h"

#include <map>
#include <set>

namespace platform {

// Starts nothing. Every start is recorded; a captured start gets real pipes
// whose other ends the test holds, so it can play the child. The process
// table, the programs on PATH and the files that exist are set by the test.
class FakeProcessLauncher final : public ProcessLauncher {
public:
    enum class Way { captured, detached, foreground };
    struct Start {
        Way way;
        SpawnRequest request;
        int pid;
    };
    // The child's ends of a captured start's pipes.
    struct ChildEnds {
        FileDescriptor input; // what the child reads
        FileDescriptor output; // where the child writes its output
        FileDescriptor error;
    };

    base::Result<CapturedProcess> spawn_captured(const SpawnRequest& request) override;
    base::Result<int> spawn_detached(const SpawnRequest& request) override;
    base::Result<int> spawn_foreground(const SpawnRequest& request) override;
    bool wait_for_exit(int pid, int timeout_ms) override;
    void reap_children() override { }
    std::vector<ProcessEntry> list_processes() override;
    bool end_process(int pid, bool force) override;
    int own_pid() override { return 1; }
    std::optional<std::string> find_in_path(std::string_view name) override;
    bool is_executable(const std::string& path) override { return m_executables.contains(path); }
    bool exists(const std::string& path) override { return m_executables.contains(path) || m_files.contains(path); }
    size_t write_pipe(int fd, std::string_view data, int timeout_ms) override;
    std::string read_pipe(int fd, size_t limit) override;

    // Test set-up.
    void add_process(ProcessEntry entry) { m_processes.push_back(std::move(entry)); }
    void add_executable(const std::string& path) { m_executables.insert(path); }
    void add_file(const std::string& path) { m_files.insert(path); }
    void add_to_path(const std::string& name, const std::string& path) { m_path[name] = path; add_executable(path); }
    void fail_starts(bool fail) { m_fail_starts = fail; }
    // An ended process stays in the table for this many more listings, as a
    // real one does for a moment after it was told to end.
    void linger_after_end(int listings) { m_linger = listings; }

    const std::vector<Start>& starts() const { return m_starts; }
    const std::vector<std::pair<int, bool>>& ended() const { return m_ended; }
    ChildEnds& child_ends(int pid) { return m_child_ends.at(pid); }
    std::set<int> waited() const { return m_waited; }

private:
    base::Result<int> record(Way way, const SpawnRequest& request);

    std::vector<ProcessEntry> m_processes;
    std::vector<std::pair<ProcessEntry, int>> m_ending; // with the listings left
    int m_linger = 0;
    std::set<std::string> m_executables;
    std::set<std::string> m_files;
    std::map<std::string, std::string> m_path;
    std::vector<Start> m_starts;
    std::vector<std::pair<int, bool>> m_ended;
    std::map<int, ChildEnds> m_child_ends;
    std::set<int> m_waited;
    int m_next_pid = 1000;
    bool m_fail_starts = false;
};

}
