// SPDX-License-Identifier: GPL-3.0-or-later
// SsipConnection: one client connection to speech-dispatcher over its Unix socket.
#include "speech/engines/ssip_connection.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace speech {

namespace {

// A daemon that sends endless lines without ending a reply is not waited
// for without bound either.
constexpr size_t input_limit = 1 << 20;

uint64_t now_ms()
{
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count());
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}

base::Result<std::unique_ptr<SsipConnection>> SsipConnection::connect(const std::string& socket_path)
{
    sockaddr_un address {};
    if (socket_path.empty() || socket_path.size() >= sizeof(address.sun_path))
        return base::Error { "speech-dispatcher socket path '" + socket_path + "' is not usable" };
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socket_path.data(), socket_path.size());
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return base::Error { std::string("cannot make a socket: ") + std::strerror(errno) };
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        std::string reason = std::strerror(errno);
        ::close(fd);
        return base::Error { "cannot reach speech-dispatcher at '" + socket_path + "': " + reason };
    }
    return std::unique_ptr<SsipConnection>(new SsipConnection(fd));
}

SsipConnection::SsipConnection(int fd)
    : m_fd(fd)
{
}

SsipConnection::~SsipConnection()
{
    if (m_fd >= 0) {
        // A polite goodbye; the daemon forgets the client either way.
        send_all("QUIT\r\n");
        drop();
    }
}

void SsipConnection::drop()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool SsipConnection::send_all(std::string_view bytes)
{
    uint64_t deadline = now_ms() + reply_timeout_ms;
    while (!bytes.empty() && m_fd >= 0) {
        ssize_t sent = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        uint64_t now = now_ms();
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && now < deadline) {
            pollfd entry { m_fd, POLLOUT, 0 };
            ::poll(&entry, 1, static_cast<int>(deadline - now));
            continue;
        }
        drop();
    }
    return m_fd >= 0;
}

int SsipConnection::read_some(int timeout_ms)
{
    if (m_fd < 0)
        return -1;
    pollfd entry { m_fd, POLLIN, 0 };
    int ready = ::poll(&entry, 1, timeout_ms);
    if (ready < 0 && errno == EINTR)
        return 0;
    if (ready < 0) {
        drop();
        return -1;
    }
    if (ready == 0)
        return 0;
    char buffer[4096];
    ssize_t got = ::recv(m_fd, buffer, sizeof(buffer), MSG_DONTWAIT);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return 0;
    if (got <= 0 || m_input.size() + static_cast<size_t>(got) > input_limit) {
        drop();
        return -1;
    }
    m_input.append(buffer, static_cast<size_t>(got));
    parse_input();
    return m_fd >= 0 ? static_cast<int>(got) : -1;
}

void SsipConnection::parse_input()
{
    size_t start = 0;
    for (size_t end; (end = m_input.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::string_view line(m_input.data() + start, end - start);
        if (line.size() < 4 || !is_digit(line[0]) || !is_digit(line[1]) || !is_digit(line[2]) || (line[3] != '-' && line[3] != ' ')) {
            // Not SSIP: whatever answers is not speech-dispatcher.
            drop();
            return;
        }
        int code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
        m_partial.code = code;
        m_partial.lines.emplace_back(line.substr(4));
        if (line[3] == '-')
            continue;
        if (code >= 700 && code < 800) {
            // The event's lines are the message number, the client number
            // and its name.
            SsipEvent event { code, 0 };
            if (!m_partial.lines.empty())
                event.message = std::strtoull(m_partial.lines.front().c_str(), nullptr, 10);
            m_events.push_back(event);
        } else {
            m_replies.push_back(std::move(m_partial));
        }
        m_partial = {};
    }
    m_input.erase(0, start);
}

base::Result<SsipReply> SsipConnection::wait_reply()
{
    uint64_t deadline = now_ms() + reply_timeout_ms;
    while (m_replies.empty()) {
        uint64_t now = now_ms();
        if (m_fd < 0 || now >= deadline || read_some(static_cast<int>(deadline - now)) < 0) {
            drop();
            return base::Error { "speech-dispatcher does not answer" };
        }
    }
    SsipReply reply = std::move(m_replies.front());
    m_replies.erase(m_replies.begin());
    return reply;
}

base::Result<SsipReply> SsipConnection::command(std::string_view line)
{
    if (line.find_first_of("\r\n") != std::string_view::npos)
        return base::Error { "an SSIP command is one line" };
    if (!send_all(std::string(line) + "\r\n"))
        return base::Error { "speech-dispatcher has gone" };
    return wait_reply();
}

base::Result<SsipReply> SsipConnection::speak(std::string_view utf8_text)
{
    auto ready = command("SPEAK");
    if (!ready)
        return ready.error();
    if (ready->code != 230)
        return *ready;
    // The data block ends at a line holding only "."; every line of the
    // text that begins with "." gets a second one, and CR, LF and CR LF
    // all end a line.
    std::string block;
    bool line_start = true;
    for (size_t i = 0; i < utf8_text.size(); ++i) {
        char c = utf8_text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < utf8_text.size() && utf8_text[i + 1] == '\n')
                ++i;
            block += "\r\n";
            line_start = true;
            continue;
        }
        if (line_start && c == '.')
            block += '.';
        block += c;
        line_start = false;
    }
    block += "\r\n.\r\n";
    if (!send_all(block))
        return base::Error { "speech-dispatcher has gone" };
    return wait_reply();
}

std::vector<SsipEvent> SsipConnection::take_events()
{
    while (read_some(0) > 0) {
    }
    return std::exchange(m_events, {});
}

}
