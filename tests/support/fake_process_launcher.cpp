// SPDX-License-Identifier: GPL-3.0-or-later
// FakeProcessLauncher: a process table in memory, for tests of what starts what.
#include "tests/support/fake_process_launcher.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

base::Result<int> FakeProcessLauncher::record(Way way, const SpawnRequest& request)
{
    if (m_fail_starts || !m_executables.contains(request.executable))
        return base::Error { "cannot start '" + request.executable + "'" };
    int pid = m_next_pid++;
    m_starts.push_back({ way, request, pid });
    return pid;
}

base::Result<CapturedProcess> FakeProcessLauncher::spawn_captured(const SpawnRequest& request)
{
    auto pid = record(Way::captured, request);
    if (!pid)
        return pid.error();
    int input[2], output[2], error[2];
    if (pipe2(input, O_CLOEXEC) != 0)
        return base::Error { "cannot create pipes" };
    if (pipe2(output, O_CLOEXEC) != 0) {
        close(input[0]);
        close(input[1]);
        return base::Error { "cannot create pipes" };
    }
    if (pipe2(error, O_CLOEXEC) != 0) {
        for (int fd : { input[0], input[1], output[0], output[1] })
            close(fd);
        return base::Error { "cannot create pipes" };
    }
    for (int fd : { input[1], output[0], error[0] })
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    m_child_ends[*pid] = ChildEnds { FileDescriptor(input[0]), FileDescriptor(output[1]), FileDescriptor(error[1]) };
    CapturedProcess process;
    process.pid = *pid;
    process.input = FileDescriptor(input[1]);
    process.output = FileDescriptor(output[0]);
    process.error = FileDescriptor(error[0]);
    return process;
}

base::Result<int> FakeProcessLauncher::spawn_detached(const SpawnRequest& request) { return record(Way::detached, request); }

base::Result<int> FakeProcessLauncher::spawn_foreground(const SpawnRequest& request)
{
    return record(Way::foreground, request);
}

bool FakeProcessLauncher::wait_for_exit(int pid, int timeout_ms)
{
    m_waited.insert(pid);
    return true;
}

bool FakeProcessLauncher::end_process(int pid, bool force)
{
    auto found = std::find_if(m_processes.begin(), m_processes.end(), [&](const auto& entry) { return entry.pid == pid; });
    if (found == m_processes.end())
        return false;
    if (m_linger > 0)
        m_ending.emplace_back(*found, m_linger);
    m_processes.erase(found);
    m_ended.emplace_back(pid, force);
    return true;
}

std::vector<ProcessEntry> FakeProcessLauncher::list_processes()
{
    std::vector<ProcessEntry> listed = m_processes;
    for (auto& [entry, listings_left] : m_ending) {
        if (listings_left > 0) {
            listed.push_back(entry);
            --listings_left;
        }
    }
    return listed;
}

std::optional<std::string> FakeProcessLauncher::find_in_path(std::string_view name)
{
    auto found = m_path.find(std::string(name));
    if (found == m_path.end())
        return std::nullopt;
    return found->second;
}

size_t FakeProcessLauncher::write_pipe(int fd, std::string_view data, int timeout_ms)
{
    ssize_t count = ::write(fd, data.data(), data.size());
    return count > 0 ? static_cast<size_t>(count) : 0;
}

std::string FakeProcessLauncher::read_pipe(int fd, size_t limit)
{
    std::string text(limit, '\0');
    ssize_t count = ::read(fd, text.data(), limit);
    text.resize(count > 0 ? static_cast<size_t>(count) : 0);
    return text;
}

}
