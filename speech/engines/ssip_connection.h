// SPDX-License-Identifier: GPL-3.0-or-later
// SsipConnection: one client connection to speech-dispatcher over its Unix socket.
#pragma once

#include "base/result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace speech {

// A reply: its three-digit code and the text of each of its lines.
struct SsipReply {
    int code = 0;
    std::vector<std::string> lines;
    bool ok() const { return code >= 200 && code < 300; }
};

// An event the daemon sends of its own accord once notifications are on
// (701 begin, 702 end, 703 cancelled, ...), for one message.
struct SsipEvent {
    int code = 0;
    uint64_t message = 0;
};

// SSIP is a line protocol: a command is one line ending in CR LF, a reply
// is lines "NNN-text" ending with "NNN text"; events (codes 700 to 799)
// come the same way, between replies. Every wait is bounded, so a daemon
// that hangs costs at most `reply_timeout_ms` once: the connection is then
// taken as lost and every later call returns at once.
class SsipConnection {
public:
    static constexpr int reply_timeout_ms = 2000;

    static base::Result<std::unique_ptr<SsipConnection>> connect(const std::string& socket_path);
    ~SsipConnection();
    SsipConnection(const SsipConnection&) = delete;
    SsipConnection& operator=(const SsipConnection&) = delete;

    // Sends one command line (CR and LF inside it are refused) and waits for
    // its reply.
    base::Result<SsipReply> command(std::string_view line);
    // SPEAK with the text as its data block; the reply's first line is the
    // message's number. Lines that begin with "." are escaped.
    base::Result<SsipReply> speak(std::string_view utf8_text);

    // Reads what has arrived without waiting; returns the events seen since
    // the last call.
    std::vector<SsipEvent> take_events();
    bool lost() const { return m_fd < 0; }

private:
    explicit SsipConnection(int fd);
    bool send_all(std::string_view bytes);
    // Reads what is there, waiting up to `timeout_ms`: the number of bytes
    // read, 0 for none, -1 when the daemon has gone.
    int read_some(int timeout_ms);
    // Moves complete replies and events out of the input buffer.
    void parse_input();
    base::Result<SsipReply> wait_reply();
    void drop();

    int m_fd;
    std::string m_input;
    SsipReply m_partial;
    std::vector<SsipReply> m_replies;
    std::vector<SsipEvent> m_events;
};

}
