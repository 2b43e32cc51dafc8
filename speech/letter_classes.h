// SPDX-License-Identifier: GPL-3.0-or-later
// Character classes of the built-in translator.
#pragma once

namespace speech {

constexpr char lower_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
constexpr char upper_ascii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

constexpr bool is_vowel(char c)
{
    switch (c) {
    case 'A': case 'E': case 'I': case 'O': case 'U':
    case 'a': case 'e': case 'i': case 'o': case 'u':
        return true;
    default:
        return false;
    }
}

constexpr bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr bool is_consonant(char c) { return is_letter(c) && !is_vowel(c); }
constexpr bool is_diacritic(char c) { return c == '"' || c == '\'' || c == '^' || c == '`' || c == '~'; }
constexpr bool is_punctuation(char c)
{
    return c == ' ' || c == '!' || c == ',' || c == '.' || c == ':' || c == ';' || c == '?';
}
constexpr bool is_word_character(char c) { return is_letter(c) || is_diacritic(c); }

}
