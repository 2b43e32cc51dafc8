// SPDX-License-Identifier: GPL-3.0-or-later
// UTF8PARAANSI's byte rule: two-byte UTF-8 sequences folded into one byte.
#include "encoding/ansi_conversion.h"

#include <cstdint>

namespace encoding {

std::string fold_two_byte_utf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t index = 0; index < text.size(); ++index) {
        auto byte = static_cast<uint8_t>(text[index]);
        if ((byte & 0xE0) != 0xC0) {
            out += static_cast<char>(byte);
            continue;
        }
        uint8_t next = index + 1 < text.size() ? static_cast<uint8_t>(text[++index]) : uint8_t(' ');
        out += static_cast<char>(((byte & 0x03) << 6) | (next & 0x3F));
    }
    return out;
}

}
