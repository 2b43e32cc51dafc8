// SPDX-License-Identifier: GPL-3.0-or-later
// ChannelTable: the ten channels "#0" to "#9" shared by text files and connections.
#pragma once

#include "files/channel_stream.h"

#include <array>
#include <memory>

namespace files {

constexpr int channel_count = 10;

// Owned by the runtime's host for the whole run; all channels start closed.
// A channel is open exactly when it holds a stream.
class ChannelTable {
public:
    ChannelTable() = default;
    ChannelTable(const ChannelTable&) = delete;
    ChannelTable& operator=(const ChannelTable&) = delete;

    static bool is_valid(int channel) { return channel >= 0 && channel < channel_count; }

    bool is_open(int channel) const { return stream(channel) != nullptr; }

    // The open stream of a channel, or nullptr when it is closed or the
    // number is not a channel.
    ChannelStream* stream(int channel) const
    {
        return is_valid(channel) ? m_streams[channel].get() : nullptr;
    }

    // Puts a stream on a channel. A stream already there is released (its
    // destructor closes it) rather than leaked, so reopening a channel never
    // keeps a file or a socket open behind the script's back.
    void open(int channel, std::unique_ptr<ChannelStream> stream)
    {
        if (is_valid(channel))
            m_streams[channel] = std::move(stream);
    }

    // Closes a channel and marks it closed. Closing a closed channel
    // succeeds; false when the stream's close reported an error (the channel
    // is closed all the same).
    bool close(int channel)
    {
        if (!is_valid(channel))
            return false;
        auto stream = std::move(m_streams[channel]);
        return !stream || stream->close();
    }

private:
    std::array<std::unique_ptr<ChannelStream>, channel_count> m_streams;
};

}
