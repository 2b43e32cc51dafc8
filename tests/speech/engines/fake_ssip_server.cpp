// SPDX-License-Identifier: GPL-3.0-or-later
// FakeSsipServer: a speech-dispatcher stand-in on a Unix socket that records what clients send.
#include "tests/speech/engines/fake_ssip_server.h"

#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace speech_test {

FakeSsipServer::FakeSsipServer(std::filesystem::path socket_path)
    : m_path(std::move(socket_path))
{
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::string path = m_path.string();
    if (m_listener < 0 || path.size() >= sizeof(address.sun_path))
        throw std::runtime_error("cannot make the fake daemon's socket");
    std::memcpy(address.sun_path, path.data(), path.size());
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(m_listener, 4) != 0
        || ::pipe(m_wake) != 0)
        throw std::runtime_error("cannot listen on " + path);
    m_thread = std::thread([this] { serve(); });
}

FakeSsipServer::~FakeSsipServer()
{
    char byte = 'q';
    [[maybe_unused]] auto written = ::write(m_wake[1], &byte, 1);
    m_thread.join();
    ::close(m_listener);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
    std::filesystem::remove(m_path);
}

std::vector<std::string> FakeSsipServer::received()
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

bool FakeSsipServer::wait_received(size_t count)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::seconds(2), [&] { return m_received.size() >= count; });
}

void FakeSsipServer::send(const std::string& bytes)
{
    std::lock_guard lock(m_mutex);
    if (m_client >= 0)
        [[maybe_unused]] auto sent = ::send(m_client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

void FakeSsipServer::die()
{
    std::lock_guard lock(m_mutex);
    m_dead = true;
    if (m_client >= 0)
        ::shutdown(m_client, SHUT_RDWR);
}

void FakeSsipServer::serve()
{
    for (;;) {
        pollfd entries[2] = { { m_listener, POLLIN, 0 }, { m_wake[0], POLLIN, 0 } };
        if (::poll(entries, 2, -1) < 0)
            continue;
        if (entries[1].revents)
            return;
        int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        {
            std::lock_guard lock(m_mutex);
            if (m_dead) {
                ::close(client);
                continue;
            }
            m_client = client;
        }
        handle(client);
        std::lock_guard lock(m_mutex);
        m_client = -1;
        ::close(client);
    }
}

void FakeSsipServer::handle(int client)
{
    std::string input;
    bool in_data = false;
    std::string data;
    for (;;) {
        pollfd entries[2] = { { client, POLLIN, 0 }, { m_wake[0], POLLIN, 0 } };
        if (::poll(entries, 2, -1) < 0)
            continue;
        if (entries[1].revents)
            return;
        char buffer[1024];
        ssize_t got = ::recv(client, buffer, sizeof(buffer), 0);
        if (got <= 0)
            return;
        input.append(buffer, static_cast<size_t>(got));
        for (size_t end; (end = input.find("\r\n")) != std::string::npos; input.erase(0, end + 2)) {
            std::string line = input.substr(0, end);
            if (in_data) {
                if (line != ".") {
                    data += (data.empty() ? "" : "|") + line;
                    continue;
                }
                in_data = false;
                line = "DATA " + data;
                data.clear();
            } else if (line == "SPEAK") {
                in_data = answer;
            }
            {
                std::lock_guard lock(m_mutex);
                m_received.push_back(line);
            }
            m_changed.notify_all();
            if (answer)
                reply_to(client, line);
        }
    }
}

void FakeSsipServer::reply_to(int client, const std::string& line)
{
    std::string reply;
    if (line.starts_with("SET SELF CLIENT_NAME"))
        reply = "208 OK CLIENT NAME SET\r\n";
    else if (line.starts_with("SET SELF NOTIFICATION"))
        reply = "220 OK NOTIFICATION SET\r\n";
    else if (line == "LIST SYNTHESIS_VOICES") {
        for (const auto& voice : voices)
            reply += "249-" + voice + "\r\n";
        reply += "249 OK VOICE LIST SENT\r\n";
    } else if (line.starts_with("SET SELF SYNTHESIS_VOICE"))
        reply = "209 OK VOICE SET\r\n";
    else if (line.starts_with("SET SELF RATE"))
        reply = "203 OK RATE SET\r\n";
    else if (line.starts_with("SET SELF PITCH"))
        reply = "204 OK PITCH SET\r\n";
    else if (line == "SPEAK")
        reply = "230 OK RECEIVING DATA\r\n";
    else if (line.starts_with("DATA ")) {
        std::string number = std::to_string(m_next_message++);
        if (end_before_reply)
            reply = "702-" + number + "\r\n702-1\r\n702 END\r\n";
        reply += "225-" + number + "\r\n225 OK MESSAGE QUEUED\r\n";
    }
    else if (line == "CANCEL SELF")
        reply = "213 OK CANCELED\r\n";
    else if (line == "QUIT")
        reply = "231 HAPPY HACKING\r\n";
    else
        reply = "300 ERR UNKNOWN COMMAND\r\n";
    std::lock_guard lock(m_mutex);
    [[maybe_unused]] auto sent = ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
}

}
