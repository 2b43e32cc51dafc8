// SPDX-License-Identifier: GPL-3.0-or-later
// Conversion between the runtime's Windows-1252 text and UTF-8 at the edges.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace base {

// Every byte of Windows-1252 becomes its UTF-8 sequence. The five bytes that
// the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// controls of the same value, so the conversion never loses a byte.
std::string windows1252_to_utf8(std::string_view text);

// Text that is valid UTF-8 and holds at least one multi-byte sequence is
// converted; a character with no Windows-1252 byte becomes "?". Anything
// else (plain ASCII, or bytes that are not valid UTF-8) is taken as
// Windows-1252 already and returned unchanged.
std::string utf8_to_windows1252(std::string_view text);

// Every byte of ISO 8859-1 (the X11 STRING encoding) becomes its UTF-8
// sequence: the byte's value is its code point.
std::string latin1_to_utf8(std::string_view text);

// Appends the UTF-8 form of a character; nothing for a value past U+10FFFF.
void append_utf8(std::string& out, char32_t code);

// The Windows-1252 byte of a character, or nothing when the code page has
// none.
std::optional<uint8_t> windows1252_byte(char32_t code);

// True when the text is valid UTF-8 and holds a multi-byte sequence.
bool is_multibyte_utf8(std::string_view text);

}
