// SPDX-License-Identifier: GPL-3.0-or-later
// ConnectionStream: a network connection on one of the script's channels.
#include "net/connection_stream.h"

#include "interpreter/host.h"
#include "interpreter/runtime.h"
#include "net/network_state.h"

namespace net {

ConnectionStream::ConnectionStream(interpreter::Runtime& runtime, std::unique_ptr<Connection> connection)
    : m_runtime(runtime)
    , m_options(network_state(runtime).options(runtime))
    , m_connection(std::move(connection))
{
    if (m_connection)
        m_reader = std::make_unique<LineReader>(*m_connection);
}

ConnectionStream::~ConnectionStream()
{
    m_reader.reset();
}

files::LineReadStatus ConnectionStream::read_line(std::string& line)
{
    line.clear();
    if (!m_reader)
        return files::LineReadStatus::error;
    auto wait = wait_context();
    bool got = m_reader->read_line(wait, channel_read_limit_seconds, line);
    if (got)
        return files::LineReadStatus::line;
    // A TLS error other than the peer closing is shown as the TLS layer
    // always showed it: on a console line of its own.
    if (auto* tls = m_connection->tls(); tls && tls->last_error() != 0) {
        m_runtime.host.write_text("Erro SSL: " + std::to_string(tls->last_error()));
        m_runtime.host.end_line();
    }
    return files::LineReadStatus::end_of_input;
}

bool ConnectionStream::write(std::string_view bytes)
{
    if (!m_connection)
        return false;
    auto wait = wait_context();
    return m_connection->send_all(bytes, wait, m_options.peer_limit_ms);
}

WaitContext ConnectionStream::wait_context()
{
    return { m_runtime.host, network_state(m_runtime).clock(), m_options.poll_timeout_us };
}

bool ConnectionStream::close()
{
    m_reader.reset();
    m_connection.reset();
    network_state(m_runtime).tls_for_connect = false;
    return true;
}

bool ConnectionStream::has_waiting_input()
{
    if (!m_reader)
        return false;
    auto wait = wait_context();
    return m_reader->has_data(wait);
}

}
