// SPDX-License-Identifier: GPL-3.0-or-later
// LineReader: the 4096-byte receive buffer of a connection, read by lines or by blocks.
#pragma once

#include "net/connection.h"

#include <array>
#include <string>
#include <string_view>

namespace net {

constexpr size_t reader_buffer_size = 4096;
// A line longer than this is handed over in pieces of this size: a peer that
// never sends a line end must not make the runtime hold its whole stream.
constexpr size_t max_line_length = 1 << 20;

enum class LineStatus { line, ended, timed_out, too_long, key_waiting };

class LineReader {
public:
    explicit LineReader(Connection& connection);
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Bytes are buffered, or the connection has some ready (one poll).
    bool has_data(WaitContext& wait);

    enum class Fill { got, would_block, ended };
    // When the buffer is used up, one routed receive of up to 4096 bytes.
    Fill fill();

    std::string_view buffered() const { return { m_buffer.data() + m_position, m_fill - m_position }; }
    void consume(size_t count) { m_position += std::min(count, m_fill - m_position); }

    // The script's line read: waits with pumped pauses of 100 ms while
    // nothing has arrived and fails after 10 x `limit_seconds` of them (0:
    // no limit), keeping what had arrived in `line`. CR LF and LF end a
    // line; a last line without an end is returned when the peer closes.
    bool read_line(WaitContext& wait, int limit_seconds, std::string& line);

    // A protocol line read with a bound on silence and on length. `line` is
    // not cleared first, so that after `key_waiting` the caller can deal
    // with the key and call again to go on with the same line.
    LineStatus read_bounded_line(WaitContext& wait, int64_t idle_limit_ms, size_t max_length, std::string& line);

    Connection& connection() { return m_connection; }

private:
    // Appends buffered bytes up to a line feed; true when the line ended.
    bool take_line_bytes(std::string& line);

    Connection& m_connection;
    std::array<char, reader_buffer_size> m_buffer {};
    size_t m_position = 0;
    size_t m_fill = 0;
};

}
