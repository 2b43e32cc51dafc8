// SPDX-License-Identifier: GPL-3.0-or-later
// LoopbackPeer: a test server (tests/net/peers/net_peer.py) run for the length of one test.
#include "tests/net/loopback_peer.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace net_tests {

namespace {

std::string make_temporary_folder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "corvante-net-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return {};
    return pattern;
}

}

TemporaryFolder::TemporaryFolder()
    : m_path(make_temporary_folder())
{
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ignored);
}

LoopbackPeer::LoopbackPeer(std::string mode, std::string argument)
    : m_folder(make_temporary_folder())
{
    if (m_folder.empty())
        return;
    std::filesystem::create_directories(www());
    int to_peer[2];
    int from_peer[2];
    if (pipe(to_peer) != 0 || pipe(from_peer) != 0)
        return;
    std::vector<const char*> arguments { "python3", NET_PEER_SCRIPT, mode.c_str(), m_folder.c_str() };
    if (!argument.empty())
        arguments.push_back(argument.c_str());
    arguments.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        dup2(to_peer[0], 0);
        dup2(from_peer[1], 1);
        close(to_peer[1]);
        close(from_peer[0]);
        execvp("python3", const_cast<char* const*>(arguments.data()));
        _exit(127);
    }
    close(to_peer[0]);
    close(from_peer[1]);
    m_stdin = to_peer[1];
    // The peer says READY within a few seconds (certificates are made first).
    std::string line;
    pollfd entry { from_peer[0], POLLIN, 0 };
    while (line.find('\n') == std::string::npos && poll(&entry, 1, 15000) > 0) {
        char buffer[256];
        ssize_t count = read(from_peer[0], buffer, sizeof buffer);
        if (count <= 0)
            break;
        line.append(buffer, static_cast<size_t>(count));
    }
    close(from_peer[0]);
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word != "READY")
        return;
    while (words >> word) {
        auto equals = word.find('=');
        if (equals != std::string::npos)
            m_values[word.substr(0, equals)] = word.substr(equals + 1);
    }
    m_ready = m_values.count("port") > 0;
}

LoopbackPeer::~LoopbackPeer()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        if (m_stdin >= 0)
            close(m_stdin);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
    std::error_code ignored;
    if (!m_folder.empty())
        std::filesystem::remove_all(m_folder, ignored);
}

int LoopbackPeer::port() const
{
    return std::atoi(value("port").c_str());
}

std::string LoopbackPeer::value(const std::string& key) const
{
    auto found = m_values.find(key);
    return found == m_values.end() ? std::string() : found->second;
}

std::string LoopbackPeer::url(const std::string& path, bool tls) const
{
    return std::string(tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(port()) + path;
}

std::string read_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file << bytes;
}

}
