// SPDX-License-Identifier: GPL-3.0-or-later
// PosixProcessLauncher: processes through posix_spawn and /proc.
#include "platform/posix/posix_process_launcher.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

// posix_spawn's attributes and file actions, released on every path out.
class SpawnSetup {
public:
    SpawnSetup()
    {
        posix_spawnattr_init(&m_attributes);
        posix_spawn_file_actions_init(&m_actions);
    }
    ~SpawnSetup()
    {
        posix_spawnattr_destroy(&m_attributes);
        posix_spawn_file_actions_destroy(&m_actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    // The child starts with no blocked signals and with the signals whose
    // handling this process may have changed set back to their defaults.
    void prepare(bool new_session)
    {
        sigset_t empty, defaults;
        sigemptyset(&empty);
        sigemptyset(&defaults);
        for (int signal : { SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGTSTP, SIGTTIN, SIGTTOU })
            sigaddset(&defaults, signal);
        posix_spawnattr_setsigmask(&m_attributes, &empty);
        posix_spawnattr_setsigdefault(&m_attributes, &defaults);
        short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
        if (new_session)
            flags |= POSIX_SPAWN_SETSID;
        posix_spawnattr_setflags(&m_attributes, flags);
    }

    // Descriptors this process opened without close-on-exec (by other
    // libraries) must not leak into the child either.
    void close_the_rest()
    {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
        posix_spawn_file_actions_addclosefrom_np(&m_actions, 3);
#endif
    }

    posix_spawnattr_t* attributes() { return &m_attributes; }
    posix_spawn_file_actions_t* actions() { return &m_actions; }

private:
    posix_spawnattr_t m_attributes;
    posix_spawn_file_actions_t m_actions;
};

base::Result<int> spawn_with(SpawnSetup& setup, const SpawnRequest& request)
{
    if (request.executable.empty() || request.arguments.empty())
        return base::Error { "nothing to start" };
    std::vector<char*> argv;
    argv.reserve(request.arguments.size() + 1);
    for (const auto& argument : request.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = posix_spawn(&pid, request.executable.c_str(), setup.actions(), setup.attributes(), argv.data(), environ);
    if (status != 0)
        return base::Error { "cannot start '" + request.executable + "': " + std::strerror(status) };
    return static_cast<int>(pid);
}

struct Pipe {
    FileDescriptor read_end;
    FileDescriptor write_end;
};

std::optional<Pipe> make_pipe()
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return std::nullopt;
    return Pipe { FileDescriptor(ends[0]), FileDescriptor(ends[1]) };
}

void set_non_blocking(int fd)
{
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0)
        fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

std::string read_small_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {};
    std::string text;
    char buffer[4096];
    // Command lines can be long but are bounded by the kernel; stop at 64 KiB.
    while (text.size() < 65536) {
        file.read(buffer, sizeof buffer);
        if (file.gcount() <= 0)
            break;
        text.append(buffer, static_cast<size_t>(file.gcount()));
    }
    return text;
}

// Nothing of the process runs any more: it is gone, or it is a zombie
// whose threads have all ended. A killed process's first thread can be a
// zombie while the others are still ending and hold its files and locks,
// so the state alone does not tell.
bool has_ended(const std::string& folder)
{
    std::string stat = read_small_file(folder + "/stat");
    auto close = stat.rfind(')');
    if (close == std::string::npos || close + 2 >= stat.size())
        return true;
    if (stat[close + 2] != 'Z')
        return false;
    DIR* tasks = opendir((folder + "/task").c_str());
    if (!tasks)
        return true;
    int threads = 0;
    while (dirent* item = readdir(tasks))
        threads += item->d_name[0] >= '1' && item->d_name[0] <= '9';
    closedir(tasks);
    return threads <= 1;
}

std::string base_name(std::string_view path)
{
    auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

void sleep_ms(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}

PosixProcessLauncher::~PosixProcessLauncher()
{
    // Children still running are left to run; those that have ended are
    // collected now.
    reap_children();
}

base::Result<CapturedProcess> PosixProcessLauncher::spawn_captured(const SpawnRequest& request)
{
    auto input = make_pipe();
    auto output = make_pipe();
    auto error = make_pipe();
    if (!input || !output || !error)
        return base::Error { std::string("cannot create pipes: ") + std::strerror(errno) };
    SpawnSetup setup;
    setup.prepare(true);
    // dup2 onto 0..2 clears close-on-exec on the copies, so only these three
    // ends reach the child.
    posix_spawn_file_actions_adddup2(setup.actions(), input->read_end.get(), 0);
    posix_spawn_file_actions_adddup2(setup.actions(), output->write_end.get(), 1);
    posix_spawn_file_actions_adddup2(setup.actions(), error->write_end.get(), 2);
    setup.close_the_rest();
    auto pid = spawn_with(setup, request);
    if (!pid)
        return pid.error();
    remember(*pid, request);
    CapturedProcess process;
    process.pid = *pid;
    process.input = std::move(input->write_end);
    process.output = std::move(output->read_end);
    process.error = std::move(error->read_end);
    set_non_blocking(process.input.get());
    set_non_blocking(process.output.get());
    set_non_blocking(process.error.get());
    return process;
}

base::Result<int> PosixProcessLauncher::spawn_detached(const SpawnRequest& request)
{
    SpawnSetup setup;
    setup.prepare(true);
    posix_spawn_file_actions_addopen(setup.actions(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(setup.actions(), 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(setup.actions(), 2, "/dev/null", O_WRONLY, 0);
    setup.close_the_rest();
    auto pid = spawn_with(setup, request);
    if (pid)
        remember(*pid, request);
    return pid;
}

base::Result<int> PosixProcessLauncher::spawn_foreground(const SpawnRequest& request)
{
    SpawnSetup setup;
    setup.prepare(false);
    setup.close_the_rest();
    auto pid = spawn_with(setup, request);
    if (pid)
        remember(*pid, request);
    return pid;
}

void PosixProcessLauncher::remember(int pid, const SpawnRequest& request)
{
    m_children.push_back({ pid, request.executable, request.arguments });
}

bool PosixProcessLauncher::wait_for_exit(int pid, int timeout_ms)
{
    auto is_this = [pid](const Child& child) { return child.pid == pid; };
    if (std::find_if(m_children.begin(), m_children.end(), is_this) == m_children.end())
        return true;
    auto start = std::chrono::steady_clock::now();
    for (;;) {
        int status = 0;
        pid_t result = waitpid(pid, &status, WNOHANG);
        if (result == pid || (result < 0 && errno == ECHILD)) {
            std::erase_if(m_children, is_this);
            return true;
        }
        if (timeout_ms >= 0) {
            auto elapsed = std::chrono::steady_clock::now() - start;
            if (elapsed >= std::chrono::milliseconds(timeout_ms))
                return false;
        }
        sleep_ms(2);
    }
}

void PosixProcessLauncher::reap_children()
{
    std::erase_if(m_children, [](const Child& child) {
        int status = 0;
        pid_t result = waitpid(child.pid, &status, WNOHANG);
        return result == child.pid || (result < 0 && errno == ECHILD);
    });
}

std::vector<ProcessEntry> PosixProcessLauncher::list_processes()
{
    reap_children();
    std::vector<ProcessEntry> entries;
    DIR* proc = opendir("/proc");
    if (!proc)
        return entries;
    while (dirent* item = readdir(proc)) {
        const char* name = item->d_name;
        if (*name < '1' || *name > '9' || std::strspn(name, "0123456789") != std::strlen(name))
            continue;
        std::string folder = std::string("/proc/") + name;
        // An ended process only waits for its parent.
        if (has_ended(folder))
            continue;
        ProcessEntry entry;
        entry.pid = std::atoi(name);
        std::string arguments = read_small_file(folder + "/cmdline");
        size_t start = 0;
        while (start < arguments.size()) {
            size_t end = arguments.find('\0', start);
            if (end == std::string::npos)
                end = arguments.size();
            entry.command_line.emplace_back(arguments, start, end - start);
            start = end + 1;
        }
        char target[4096];
        ssize_t length = readlink((folder + "/exe").c_str(), target, sizeof target - 1);
        if (length > 0) {
            std::string_view path(target, static_cast<size_t>(length));
            constexpr std::string_view deleted = " (deleted)";
            if (path.ends_with(deleted))
                path.remove_suffix(deleted.size());
            entry.executable_name = base_name(path);
        }
        entry.short_name = read_small_file(folder + "/comm");
        if (!entry.short_name.empty() && entry.short_name.back() == '\n')
            entry.short_name.pop_back();
        // A child of ours is what it was started as: just after the start
        // the kernel may not have switched it to its new image yet.
        auto own = std::find_if(m_children.begin(), m_children.end(), [&](const Child& child) { return child.pid == entry.pid; });
        if (own != m_children.end()) {
            entry.executable_name = base_name(own->executable);
            entry.short_name = entry.executable_name.substr(0, 15);
            entry.command_line = own->arguments;
        }
        // Kernel threads have neither an image nor a command line.
        if (entry.command_line.empty() && entry.executable_name.empty())
            continue;
        entries.push_back(std::move(entry));
    }
    closedir(proc);
    return entries;
}

bool PosixProcessLauncher::end_process(int pid, bool force)
{
    if (pid <= 0 || pid == getpid())
        return false;
    return kill(pid, force ? SIGKILL : SIGTERM) == 0;
}

int PosixProcessLauncher::own_pid() { return static_cast<int>(getpid()); }

std::optional<std::string> PosixProcessLauncher::find_in_path(std::string_view name)
{
    if (name.empty() || name.find('/') != std::string_view::npos)
        return std::nullopt;
    const char* path = std::getenv("PATH");
    std::string_view folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!folders.empty()) {
        auto colon = folders.find(':');
        std::string_view folder = folders.substr(0, colon);
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        // An empty entry means the current folder; programs there are found
        // through the caller's own current-folder rule instead.
        if (folder.empty())
            continue;
        std::string candidate = std::string(folder) + "/" + std::string(name);
        if (is_executable(candidate))
            return candidate;
    }
    return std::nullopt;
}

bool PosixProcessLauncher::is_executable(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool PosixProcessLauncher::exists(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

size_t PosixProcessLauncher::write_pipe(int fd, std::string_view data, int timeout_ms)
{
    if (fd < 0)
        return 0;
    // A child that has closed its input would raise SIGPIPE and end this
    // process; the signal is held back for this thread while writing, and a
    // SIGPIPE raised here is taken off again before it is let through.
    sigset_t pipe_signal, previous, pending;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_signal, &previous);
    sigpending(&pending);
    bool was_pending = sigismember(&pending, SIGPIPE);

    size_t written = 0;
    auto start = std::chrono::steady_clock::now();
    while (written < data.size()) {
        ssize_t count = ::write(fd, data.data() + written, data.size() - written);
        if (count > 0) {
            written += static_cast<size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno != EAGAIN)
            break;
        auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        int left = timeout_ms - static_cast<int>(elapsed.count());
        if (left <= 0)
            break;
        pollfd wanted { fd, POLLOUT, 0 };
        if (poll(&wanted, 1, left) <= 0 || (wanted.revents & (POLLERR | POLLHUP)))
            break;
    }

    if (!was_pending) {
        sigpending(&pending);
        if (sigismember(&pending, SIGPIPE)) {
            timespec zero {};
            sigtimedwait(&pipe_signal, nullptr, &zero);
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return written;
}

std::string PosixProcessLauncher::read_pipe(int fd, size_t limit)
{
    std::string text;
    if (fd < 0 || limit == 0)
        return text;
    text.resize(limit);
    ssize_t count;
    do
        count = ::read(fd, text.data(), limit);
    while (count < 0 && errno == EINTR);
    text.resize(count > 0 ? static_cast<size_t>(count) : 0);
    return text;
}

}
