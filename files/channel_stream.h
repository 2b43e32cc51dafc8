// SPDX-License-Identifier: GPL-3.0-or-later
// ChannelStream: what LE, ESCREVE, FECHA and CHECA need from an open channel.
#pragma once

#include <string>
#include <string_view>

namespace files {

// A channel carries either a text file (console/) or a network connection
// (net/). The statements treat both alike except where the kind says
// otherwise: the I/O status values of a failed write differ, and closing a
// connection also ends its TLS state.
enum class ChannelKind {
    file,
    connection,
};

enum class LineReadStatus {
    line,         // a whole line arrived; `line` holds it without its end
    end_of_input, // nothing more will come: end of file, a closed peer, or a
                  // connection's time limit; `line` holds what had arrived
                  // (always empty for a file)
    error,        // the read failed; `line` holds what had arrived
};

class ChannelStream {
public:
    virtual ~ChannelStream() = default;

    virtual ChannelKind kind() const = 0;

    // Reads one line; its end (LF, CR LF or a lone CR) is not part of it.
    // Bytes are returned as they are, with no conversion.
    virtual LineReadStatus read_line(std::string& line) = 0;

    // Writes the bytes as they are (the caller appends CR LF when the line
    // ends, so that a connection sends a line in one piece). False when not
    // every byte could be written.
    virtual bool write(std::string_view bytes) = 0;

    // Releases the file or the connection; false when that reported an error
    // (for a file: data that could not be flushed). After close() the stream
    // is only destroyed. The destructor releases the resource too, silently,
    // when close() was never called.
    virtual bool close() = 0;

    // True when a read would find data without waiting (OBSERVA). Files never
    // report waiting input.
    virtual bool has_waiting_input() { return false; }
};

}
