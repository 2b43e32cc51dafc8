// SPDX-License-Identifier: GPL-3.0-or-later
// LineReader: the 4096-byte receive buffer of a connection, read by lines or by blocks.
#include "net/line_reader.h"

#include "interpreter/terminal_port.h"
#include "interpreter/world_port.h"

#include <cstring>

namespace net {

namespace {

constexpr int read_line_pause_ms = 100;

void drop_final_return(std::string& line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
}

}

LineReader::LineReader(Connection& connection)
    : m_connection(connection)
{
}

bool LineReader::has_data(WaitContext& wait)
{
    return m_position < m_fill || m_connection.data_ready(wait);
}

LineReader::Fill LineReader::fill()
{
    if (m_position < m_fill)
        return Fill::got;
    auto result = m_connection.receive({ m_buffer.data(), m_buffer.size() });
    if (result.status == platform::IoStatus::done) {
        m_position = 0;
        m_fill = result.count;
        return Fill::got;
    }
    return result.status == platform::IoStatus::would_block ? Fill::would_block : Fill::ended;
}

bool LineReader::take_line_bytes(std::string& line)
{
    auto bytes = buffered();
    auto end = bytes.find('\n');
    if (end == std::string_view::npos) {
        line.append(bytes);
        consume(bytes.size());
        return false;
    }
    line.append(bytes.substr(0, end));
    consume(end + 1);
    return true;
}

bool LineReader::read_line(WaitContext& wait, int limit_seconds, std::string& line)
{
    line.clear();
    int64_t pauses = 0;
    for (;;) {
        if (!has_data(wait)) {
            wait.world.pause_ms(read_line_pause_ms);
            ++pauses;
            if (limit_seconds > 0 && pauses > int64_t(limit_seconds) * 10)
                return false;
            continue;
        }
        auto filled = fill();
        if (filled == Fill::ended)
            return !line.empty();
        if (filled == Fill::would_block)
            continue;
        if (take_line_bytes(line)) {
            drop_final_return(line);
            return true;
        }
        if (line.size() >= max_line_length)
            return true;
    }
}

LineStatus LineReader::read_bounded_line(WaitContext& wait, int64_t idle_limit_ms, size_t max_length, std::string& line)
{
    for (;;) {
        if (m_position >= m_fill) {
            auto filled = fill();
            if (filled == Fill::ended)
                return line.empty() ? LineStatus::ended : LineStatus::line;
            if (filled == Fill::would_block) {
                auto outcome = m_connection.wait_for_data(wait, idle_limit_ms, true);
                if (outcome == WaitOutcome::timed_out)
                    return LineStatus::timed_out;
                if (outcome == WaitOutcome::key_waiting)
                    return LineStatus::key_waiting;
                continue;
            }
        }
        bool ended = take_line_bytes(line);
        if (line.size() > max_length)
            return LineStatus::too_long;
        if (ended) {
            drop_final_return(line);
            return LineStatus::line;
        }
    }
}

}
