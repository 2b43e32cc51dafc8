// SPDX-License-Identifier: GPL-3.0-or-later
// Conversion between the runtime's Windows-1252 text and UTF-8 at the edges.
#include "base/text_encoding.h"

#include <array>
#include <cstdint>

namespace base {

namespace {

// Code points of the bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<char32_t, 32> high_controls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char windows1252_byte_for(char32_t code)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(code);
    for (size_t i = 0; i < high_controls.size(); ++i) {
        if (high_controls[i] == code)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Decodes one UTF-8 sequence at `index`; returns its length, or 0 when the
// bytes there are not a valid, shortest-form sequence.
size_t decode_utf8(std::string_view text, size_t index, char32_t& code)
{
    auto byte = static_cast<uint8_t>(text[index]);
    size_t length;
    if (byte < 0x80) {
        code = byte;
        return 1;
    } else if ((byte & 0xE0) == 0xC0) {
        length = 2;
        code = byte & 0x1F;
    } else if ((byte & 0xF0) == 0xE0) {
        length = 3;
        code = byte & 0x0F;
    } else if ((byte & 0xF8) == 0xF0) {
        length = 4;
        code = byte & 0x07;
    } else {
        return 0;
    }
    if (index + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        auto next = static_cast<uint8_t>(text[index + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    constexpr char32_t shortest[] = { 0, 0, 0x80, 0x800, 0x10000 };
    if (code < shortest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

}

std::string latin1_to_utf8(std::string_view text)
{
    std::string utf8;
    utf8.reserve(text.size());
    for (unsigned char byte : text)
        append_utf8(utf8, byte);
    return utf8;
}

void append_utf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x110000) {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::optional<uint8_t> windows1252_byte(char32_t code)
{
    char byte = windows1252_byte_for(code);
    if (byte == '?' && code != U'?')
        return std::nullopt;
    return static_cast<uint8_t>(byte);
}

std::string windows1252_to_utf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text) {
        auto byte = static_cast<uint8_t>(c);
        if (byte < 0x80)
            out += c;
        else if (byte < 0xA0)
            append_utf8(out, high_controls[byte - 0x80]);
        else
            append_utf8(out, byte);
    }
    return out;
}

bool is_multibyte_utf8(std::string_view text)
{
    bool multibyte = false;
    for (size_t i = 0; i < text.size();) {
        char32_t code;
        size_t length = decode_utf8(text, i, code);
        if (length == 0)
            return false;
        multibyte = multibyte || length > 1;
        i += length;
    }
    return multibyte;
}

std::string utf8_to_windows1252(std::string_view text)
{
    if (!is_multibyte_utf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t code = 0;
        i += decode_utf8(text, i, code);
        out += windows1252_byte_for(code);
    }
    return out;
}

}
