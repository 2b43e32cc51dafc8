// SPDX-License-Identifier: GPL-3.0-or-later
// Base64 with the standard alphabet and "=" padding, for texts and for whole files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace encoding {

// The encoding of the bytes on one line, padded with "=" to a multiple of 4.
std::string encode_base64(std::string_view bytes);

// Decodes leniently, as mail and web services hand Base64 over: characters
// outside the alphabet (line ends, blanks, anything else) are skipped, and
// the first "=" ends the data. A trailing group of two or three characters
// gives one or two bytes; a lone trailing character gives none.
std::string decode_base64(std::string_view text);

// The decoder of decode_base64, fed piece by piece, for files too large to
// hold as one text.
class Base64Decoder {
public:
    // Decodes `text` and appends the bytes to `out`; after the first "="
    // everything is ignored.
    void feed(std::string_view text, std::string& out);
    // Appends the bytes of a trailing incomplete group.
    void finish(std::string& out);
    bool ended() const { return m_ended; }

private:
    uint32_t m_bits = 0;
    int m_count = 0; // characters held in m_bits, 0..3
    bool m_ended = false;
};

// The encoder of encode_base64 for a stream of bytes, writing lines of 64
// characters each followed by CR LF, the form Base64 files take.
class Base64LineEncoder {
public:
    static constexpr size_t line_length = 64;

    // Encodes `bytes` and appends the complete lines to `out`.
    void feed(std::string_view bytes, std::string& out);
    // Appends the padded last line, when anything is left.
    void finish(std::string& out);

private:
    void append_char(char c, std::string& out);

    uint8_t m_pending[2] {};
    int m_pending_count = 0;
    size_t m_column = 0;
};

}
