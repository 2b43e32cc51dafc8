// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in translator: Portuguese text to the unit string that the unit synthesiser plays.
#include "speech/builtin_translator.h"

#include "speech/exception_table.h"
#include "speech/letter_classes.h"
#include "speech/translation_rules.h"

#include <array>

namespace speech {

namespace {

// Text for each code from 128 up; nullptr where a code has no mapping. Codes
// 128..191 follow the DOS code page 850, which older texts still carry.
constexpr std::array<const char*, 128> accent_map = [] {
    std::array<const char*, 128> map {};
    auto set = [&](int code, const char* text) { map[static_cast<size_t>(code - 128)] = text; };
    set(128, "ss"); set(135, "ss");
    set(129, "u\""); set(130, "e'"); set(144, "e'");
    set(131, "a^"); set(132, "a~"); set(142, "a~"); set(133, "a`");
    set(134, "a'"); set(143, "a'"); set(160, "a'");
    set(136, "e^"); set(137, "e\""); set(138, "e`");
    set(139, "i\""); set(140, "i^"); set(141, "i`");
    set(145, "ae"); set(146, "-"); set(147, "o^"); set(148, "o~"); set(153, "o~"); set(149, "o`");
    set(150, "u^"); set(151, "u`"); set(152, "y-"); set(154, "u\"");
    set(161, "i'"); set(162, "o'"); set(163, "u'"); set(164, "nh"); set(165, "nh");
    set(167, "\xA7"); set(168, "?"); set(191, "?"); set(171, "\xAA"); set(173, "!");
    set(174, "\""); set(175, "\""); set(187, "\xBA");
    // Windows-1252 from 192 on, capitals and small letters alike.
    for (int small = 0; small <= 32; small += 32) {
        set(192 + small, "a`"); set(193 + small, "a'"); set(194 + small, "a^");
        set(195 + small, "a~"); set(196 + small, "a~"); set(197 + small, "a"); set(198 + small, "ae");
        set(199 + small, "ss");
        set(200 + small, "e`"); set(201 + small, "e'"); set(202 + small, "e^"); set(203 + small, "e\"");
        set(204 + small, "i`"); set(205 + small, "i'"); set(206 + small, "i^"); set(207 + small, "i\"");
        set(208 + small, ""); set(209 + small, "nh");
        set(210 + small, "o`"); set(211 + small, "o'"); set(212 + small, "o^"); set(213 + small, "o~");
        set(214 + small, "o`"); set(215 + small, "x"); set(216 + small, "0");
        set(217 + small, "u`"); set(218 + small, "u'"); set(219 + small, "u^"); set(220 + small, "u");
        set(221 + small, ""); set(222 + small, ""); set(223 + small, "");
    }
    return map;
}();

bool letter_at(std::string_view text, size_t index)
{
    return index < text.size() && is_letter(text[index]);
}

}

std::string prepare_text(std::string_view text)
{
    std::string prepared;
    prepared.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        auto code = static_cast<unsigned char>(c);
        bool letter_beside = (i > 0 && is_letter(text[i - 1])) || letter_at(text, i + 1);
        if ((c == 'W' || c == 'w') && letter_beside) {
            prepared += 'u';
        } else if ((c == 'Y' || c == 'y') && letter_beside) {
            prepared += 'i';
        } else if (c == '\'' && i > 0 && (text[i - 1] == 'D' || text[i - 1] == 'd')) {
            continue;
        } else if (code < 32 || (code >= 128 && accent_map[code - 128] == nullptr)) {
            prepared += ' ';
            prepared += '\0';
            prepared += ' ';
        } else if (code >= 128) {
            prepared += accent_map[code - 128];
        } else {
            prepared += c;
        }
    }
    return prepared;
}

namespace {

bool is_g_or_q(char c) { return c == 'g' || c == 'q' || c == 'G' || c == 'Q'; }
bool is_a_e_o(char c) { c = lower_ascii(c); return c == 'a' || c == 'e' || c == 'o'; }
bool is_i_u(char c) { c = lower_ascii(c); return c == 'i' || c == 'u'; }

// A "u" written after g or q is not a vowel of its own (gue, qui).
bool is_silent_u(const std::string& word, size_t index)
{
    return index >= 1 && lower_ascii(word[index]) == 'u' && is_g_or_q(word[index - 1]);
}

}

void mark_stress(std::string& word, bool explicitly_accented, int vowel_count)
{
    if (explicitly_accented || vowel_count == 0 || word.empty())
        return;
    if (vowel_count == 1 && lower_ascii(word.back()) != 'l')
        return;
    auto stress = [&](size_t index) { word[index] = upper_ascii(word[index]); };
    int state = 0;
    size_t glide = 0; // the i or u that states 3 and 8 remember
    for (size_t i = word.size(); i-- > 0;) {
        char c = word[i];
        char lower = lower_ascii(c);
        switch (state) {
        case 0:
            if (is_a_e_o(c)) {
                state = 5;
            } else if (is_i_u(c)) {
                state = 3;
                glide = i;
            } else if (lower == 'l' || lower == 'n' || lower == 'r' || lower == 'x' || lower == 'z') {
                state = 1;
            } else if (lower == 'm') {
                state = 2;
            } else if (lower == 's') {
                state = 4;
            }
            break;
        case 1:
            if (is_vowel(c)) {
                stress(i);
                return;
            }
            break;
        case 2:
            if (lower == 'a' || lower == 'e') {
                state = 5;
            } else if (is_i_u(c)) {
                state = 3;
                glide = i;
            } else if (lower == 'o') {
                stress(i);
                return;
            }
            break;
        case 3:
            if (is_consonant(c)) {
                stress(i + 1);
                return;
            }
            if (is_vowel(c)) {
                bool after_gu = i >= 2 && lower_ascii(word[i - 1]) == 'u' && is_g_or_q(word[i - 2]);
                stress(is_silent_u(word, i) || after_gu ? glide : i);
                return;
            }
            break;
        case 4:
            if (is_a_e_o(c)) {
                state = 5;
            } else if (is_i_u(c)) {
                state = 3;
                glide = i;
            }
            break;
        case 5:
            if (is_a_e_o(c)) {
                stress(i);
                return;
            }
            if (is_i_u(c)) {
                state = 8;
                glide = i;
            }
            break;
        case 8:
            if (is_consonant(c) || is_silent_u(word, i)) {
                stress(glide);
                return;
            }
            if (is_vowel(c)) {
                // A vowel followed by i/u and a closing consonant keeps the
                // stress on the i/u (ra-i-nha, ju-iz): the glide is a syllable.
                size_t after = glide + 1;
                char next = after < word.size() ? lower_ascii(word[after]) : '\0';
                char beyond = after + 1 < word.size() ? lower_ascii(word[after + 1]) : '\0';
                bool closing = false;
                if (next == 'l' || next == 'm' || next == 'n' || next == 'r' || next == 'z') {
                    if (next == 'n' && beyond == 'h')
                        closing = true;
                    else if (next == 'r' && beyond == 'r')
                        closing = true;
                    else if (is_consonant(beyond) && beyond != 'h')
                        closing = true;
                }
                stress(closing ? glide : i);
                return;
            }
            break;
        }
    }
}

namespace {

// Reads the word that starts at or after `position` in prepared text into
// `word` and moves `position` past it; false when only blanks are left.
bool read_word(std::string_view prepared, size_t& position, PreparedWord& word)
{
    while (position < prepared.size() && prepared[position] == ' ')
        ++position;
    if (position >= prepared.size())
        return false;
    word.text.clear();
    word.explicitly_accented = false;
    word.vowel_count = 0;
    char first = lower_ascii(prepared[position]);
    if (!is_letter(first)) {
        word.text = first;
        ++position;
        return true;
    }
    while (position < prepared.size() && is_word_character(prepared[position])) {
        char c = lower_ascii(prepared[position]);
        if (!word.text.empty() && is_diacritic(c) && c != '"')
            word.explicitly_accented = true;
        if (is_vowel(c))
            ++word.vowel_count;
        word.text += c;
        ++position;
    }
    return true;
}

void append_word_units(const PreparedWord& word, const TranslationRules& rules, const ExceptionTable& exceptions,
                       std::string& units)
{
    std::string pronounced = exceptions.pronounce(word.text);
    mark_stress(pronounced, word.explicitly_accented, word.vowel_count);
    bool spelled = true;
    for (char c : pronounced) {
        if (!is_consonant(c) && !is_punctuation(c))
            spelled = false;
    }
    if (spelled) {
        for (char c : pronounced) {
            units += "[ /_";
            units += c;
            units += ']';
        }
    } else {
        units += rules.apply(pronounced);
    }
}

}

std::vector<PreparedWord> prepare_words(std::string_view text)
{
    std::string prepared = prepare_text(text);
    std::vector<PreparedWord> words;
    size_t position = 0;
    PreparedWord word;
    while (read_word(prepared, position, word))
        words.push_back(word);
    return words;
}

std::string translate_word(const PreparedWord& word, const TranslationRules& rules, const ExceptionTable& exceptions)
{
    std::string units;
    append_word_units(word, rules, exceptions, units);
    return units;
}

std::string translate_to_phonemes(std::string_view text, const TranslationRules& rules, const ExceptionTable& exceptions)
{
    std::string prepared = prepare_text(text);
    std::string units;
    size_t position = 0;
    PreparedWord word;
    while (read_word(prepared, position, word))
        append_word_units(word, rules, exceptions, units);
    return units;
}

}
