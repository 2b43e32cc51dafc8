// SPDX-License-Identifier: GPL-3.0-or-later
// LoopbackPeer: a test server (tests/net/peers/net_peer.py) run for the length of one test.
#pragma once

#include <map>
#include <string>
#include <sys/types.h>

namespace net_tests {

// Starts the peer in its own temporary folder and waits for its "READY"
// line; the destructor stops it (and whatever it started) and removes the
// folder. `ok()` is false when the peer could not start.
class LoopbackPeer {
public:
    explicit LoopbackPeer(std::string mode, std::string argument = {});
    ~LoopbackPeer();
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    bool ok() const { return m_ready; }
    int port() const;
    std::string value(const std::string& key) const;
    // The folder the peer serves files from ("www" of its folder).
    std::string www() const { return m_folder + "/www"; }
    const std::string& folder() const { return m_folder; }
    std::string url(const std::string& path, bool tls = false) const;

private:
    std::string m_folder;
    pid_t m_pid = -1;
    int m_stdin = -1;
    bool m_ready = false;
    std::map<std::string, std::string> m_values;
};

// A temporary folder removed at the end of the test.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);

}
