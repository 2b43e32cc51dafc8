// SPDX-License-Identifier: GPL-3.0-or-later
// Base64 with the standard alphabet and "=" padding, for texts and for whole files.
#include "encoding/base64.h"

#include <array>

namespace encoding {

namespace {

constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Six-bit value of each byte, or -1 for a byte outside the alphabet.
constexpr std::array<int8_t, 256> make_decode_table()
{
    std::array<int8_t, 256> table {};
    for (auto& entry : table)
        entry = -1;
    for (size_t i = 0; i < alphabet.size(); ++i)
        table[static_cast<uint8_t>(alphabet[i])] = static_cast<int8_t>(i);
    return table;
}

constexpr auto decode_table = make_decode_table();

// The four characters of up to three bytes, padded with "=".
std::array<char, 4> encode_group(const uint8_t* bytes, int count)
{
    uint32_t bits = uint32_t(bytes[0]) << 16;
    if (count > 1)
        bits |= uint32_t(bytes[1]) << 8;
    if (count > 2)
        bits |= bytes[2];
    return {
        alphabet[(bits >> 18) & 63],
        alphabet[(bits >> 12) & 63],
        count > 1 ? alphabet[(bits >> 6) & 63] : '=',
        count > 2 ? alphabet[bits & 63] : '=',
    };
}

void append_group(const uint8_t* bytes, int count, std::string& out)
{
    auto group = encode_group(bytes, count);
    out.append(group.data(), group.size());
}

}

std::string encode_base64(std::string_view bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    auto data = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t index = 0;
    for (; index + 3 <= bytes.size(); index += 3)
        append_group(data + index, 3, out);
    if (index < bytes.size())
        append_group(data + index, static_cast<int>(bytes.size() - index), out);
    return out;
}

std::string decode_base64(std::string_view text)
{
    std::string out;
    out.reserve(text.size() / 4 * 3 + 2);
    Base64Decoder decoder;
    decoder.feed(text, out);
    decoder.finish(out);
    return out;
}

void Base64Decoder::feed(std::string_view text, std::string& out)
{
    for (char c : text) {
        if (m_ended)
            return;
        if (c == '=') {
            m_ended = true;
            return;
        }
        int value = decode_table[static_cast<uint8_t>(c)];
        if (value < 0)
            continue;
        m_bits = (m_bits << 6) | uint32_t(value);
        if (++m_count == 4) {
            out += static_cast<char>((m_bits >> 16) & 0xFF);
            out += static_cast<char>((m_bits >> 8) & 0xFF);
            out += static_cast<char>(m_bits & 0xFF);
            m_bits = 0;
            m_count = 0;
        }
    }
}

void Base64Decoder::finish(std::string& out)
{
    // Two characters carry 12 bits (one byte), three carry 18 (two bytes).
    if (m_count == 2) {
        out += static_cast<char>((m_bits >> 4) & 0xFF);
    } else if (m_count == 3) {
        out += static_cast<char>((m_bits >> 10) & 0xFF);
        out += static_cast<char>((m_bits >> 2) & 0xFF);
    }
    m_bits = 0;
    m_count = 0;
}

void Base64LineEncoder::append_char(char c, std::string& out)
{
    out += c;
    if (++m_column == line_length) {
        out += "\r\n";
        m_column = 0;
    }
}

void Base64LineEncoder::feed(std::string_view bytes, std::string& out)
{
    auto data = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t index = 0;
    uint8_t group[3];
    while (index < bytes.size()) {
        int count = 0;
        for (; count < m_pending_count; ++count)
            group[count] = m_pending[count];
        while (count < 3 && index < bytes.size())
            group[count++] = data[index++];
        if (count < 3) {
            for (int i = 0; i < count; ++i)
                m_pending[i] = group[i];
            m_pending_count = count;
            return;
        }
        m_pending_count = 0;
        for (char c : encode_group(group, 3))
            append_char(c, out);
    }
}

void Base64LineEncoder::finish(std::string& out)
{
    if (m_pending_count > 0) {
        for (char c : encode_group(m_pending, m_pending_count))
            append_char(c, out);
        m_pending_count = 0;
    }
    if (m_column > 0) {
        out += "\r\n";
        m_column = 0;
    }
}

}
