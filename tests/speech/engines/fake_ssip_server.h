// SPDX-License-Identifier: GPL-3.0-or-later
// FakeSsipServer: a speech-dispatcher stand-in on a Unix socket that records what clients send.
#pragma once

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace speech_test {

// Answers one client at a time with the replies the real daemon gives,
// numbers queued messages from 1, and records every command line; a
// SPEAK's data block is recorded as "DATA " and its lines joined with "|".
// The test sends events itself, and can make the daemon silent or dead.
class FakeSsipServer {
public:
    explicit FakeSsipServer(std::filesystem::path socket_path);
    ~FakeSsipServer();

    const std::filesystem::path& socket_path() const { return m_path; }
    std::vector<std::string> received();
    // Waits up to two seconds for the count of received lines.
    bool wait_received(size_t count);

    // Writes raw bytes to the connected client.
    void send(const std::string& bytes);
    // Closes the client's connection and every later one, as a daemon that died.
    void die();

    std::vector<std::string> voices { "Joana\tpt-BR\tnone", "Ricardo\tpt-BR\tmale1", "Kate\ten-GB\tnone" };
    // When false, commands are read but never answered.
    std::atomic<bool> answer { true };
    // When set, a message's end event goes out before the reply that queues it.
    std::atomic<bool> end_before_reply { false };

private:
    void serve();
    void handle(int client);
    void reply_to(int client, const std::string& line);

    std::filesystem::path m_path;
    int m_listener = -1;
    int m_wake[2] = { -1, -1 };
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_received;
    int m_client = -1;
    bool m_dead = false;
    int m_next_message = 1;
    std::thread m_thread;
};

}
