// SPDX-License-Identifier: GPL-3.0-or-later
// ConnectionStream: a network connection on one of the script's channels.
#pragma once

#include "files/channel_stream.h"
#include "net/connection.h"
#include "net/line_reader.h"
#include "net/network_options.h"

#include <memory>

namespace interpreter {
struct Runtime;
}

namespace net {

class NetworkState;

// LE reads a line with a limit of 30 seconds; ESCREVE sends in one piece;
// FECHA closes the socket (and its TLS session) and clears CONECTA's
// "SSL " flag. A stream without a connection stands for a socket that could
// not be opened (ATIVASSL keeps the channel even then): it reads and writes
// nothing.
class ConnectionStream final : public files::ChannelStream {
public:
    ConnectionStream(interpreter::Runtime& runtime, std::unique_ptr<Connection> connection);
    ~ConnectionStream() override;

    files::ChannelKind kind() const override { return files::ChannelKind::connection; }
    files::LineReadStatus read_line(std::string& line) override;
    bool write(std::string_view bytes) override;
    bool close() override;
    bool has_waiting_input() override;

    // Nothing when the channel holds no working socket.
    Connection* connection() { return m_connection.get(); }

private:
    WaitContext wait_context();

    interpreter::Runtime& m_runtime;
    // Read once, when the connection opened: a script that polls a channel
    // in a tight loop must not read the settings file at every poll.
    NetworkOptions m_options;
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<LineReader> m_reader;
};

// The script's line read limit on a network channel, in seconds.
constexpr int channel_read_limit_seconds = 30;

}
