// SPDX-License-Identifier: GPL-3.0-or-later
// The character classes screen review reads by.
#include "console/review_characters.h"

#include <string_view>

namespace console {

namespace {

// Windows-1252 upper-case accented letters; each lower-case form is 32 above.
constexpr std::string_view accented_capitals = "\xC0\xC1\xC2\xC3\xC7\xC9\xCA\xCD\xD1\xD3\xD4\xD5\xDA";

constexpr std::string_view consonants = "BCDFGHJKLMNPQRSTVWXYZ";

}

bool is_review_letter(uint8_t character)
{
    if ((character >= 'A' && character <= 'Z') || (character >= 'a' && character <= 'z'))
        return true;
    if (character >= 0xE0)
        character = static_cast<uint8_t>(character - 32);
    return character >= 0xC0 && accented_capitals.find(static_cast<char>(character)) != std::string_view::npos;
}

bool is_review_word_character(uint8_t character)
{
    return (character >= '0' && character <= '9') || is_review_letter(character);
}

bool is_spelled_consonant(uint8_t character)
{
    if (character >= 'a' && character <= 'z')
        character = static_cast<uint8_t>(character - 32);
    return consonants.find(static_cast<char>(character)) != std::string_view::npos;
}

bool is_field_separator(uint8_t character)
{
    if (character == '!' || character == ':' || character == '?' || character == '|')
        return true;
    // The range held box-drawing characters in the DOS code page; in
    // Windows-1252 it also holds capitals such as "Ç" and "Ã", which must not
    // cut a word like "AÇÃO" into fields.
    return character >= 176 && character <= 223 && !is_review_letter(character);
}

}
