// SPDX-License-Identifier: GPL-3.0-or-later
// Number words of the recorded-word normaliser: Brazilian Portuguese cardinals.
#include "speech/number_words.h"

#include <array>
#include <string_view>

namespace speech {

namespace {

constexpr std::array<std::string_view, 10> units = { "", "um", "dois", "tres", "quatro", "cinco", "seis", "sete", "oito", "nove" };
constexpr std::string_view three_written = "tr\xEAs";
constexpr std::array<std::string_view, 10> teens = { "dez", "onze", "doze", "treze", "quatorze", "quinze", "dezesseis", "dezessete", "dezoito", "dezenove" };
constexpr std::array<std::string_view, 10> tens = { "", "", "vinte", "trinta", "quarenta", "cinquenta", "sessenta", "setenta", "oitenta", "noventa" };
constexpr std::string_view fifty_written = "cinq\xFC" "enta";
constexpr std::array<std::string_view, 10> hundreds = { "", "cento", "duzentos", "trezentos", "quatrocentos", "quinhentos", "seiscentos", "setecentos", "oitocentos", "novecentos" };
// Highest group first; the names carry their own trailing blank.
constexpr std::array<std::string_view, 5> group_singular = { "trilh\xE3o ", "bilh\xE3o ", "milh\xE3o ", "mil ", "" };
constexpr std::array<std::string_view, 5> group_plural = { "trilh\xF5" "es ", "bilh\xF5" "es ", "milh\xF5" "es ", "mil ", "" };
constexpr std::string_view joiner = " e ";

std::string group_words(int h, int t, int u, CardinalSpelling spelling)
{
    std::string words;
    if (h == 0 && t == 0 && u == 0)
        return words;
    if (h == 1 && t == 0 && u == 0)
        return "cem";
    if (h != 0) {
        words += hundreds[static_cast<size_t>(h)];
        if (t != 0 || u != 0)
            words += joiner;
    }
    if (t == 1) {
        words += teens[static_cast<size_t>(u)];
        return words;
    }
    if (t != 0) {
        words += spelling == CardinalSpelling::Written && t == 5 ? fifty_written : tens[static_cast<size_t>(t)];
        if (u != 0)
            words += joiner;
    }
    if (u != 0)
        words += spelling == CardinalSpelling::Written && u == 3 ? three_written : units[static_cast<size_t>(u)];
    return words;
}

}

std::string number_to_words(uint64_t number, CardinalSpelling spelling)
{
    if (number == 0)
        return "zero";
    if (number > largest_number_in_words)
        number = largest_number_in_words;
    std::array<std::string, 5> groups;
    uint64_t rest = number;
    for (int group = 4; group >= 0; --group) {
        int value = static_cast<int>(rest % 1000);
        rest /= 1000;
        std::string words = group_words(value / 100, value / 10 % 10, value % 10, spelling);
        if (!words.empty() && !group_singular[static_cast<size_t>(group)].empty()) {
            words += ' ';
            words += value == 1 ? group_singular[static_cast<size_t>(group)] : group_plural[static_cast<size_t>(group)];
        }
        groups[static_cast<size_t>(group)] = words;
    }
    int last = -1;
    for (int group = 0; group < 5; ++group) {
        if (!groups[static_cast<size_t>(group)].empty())
            last = group;
    }
    std::string text;
    bool earlier = false;
    for (int group = 0; group < 5; ++group) {
        const auto& words = groups[static_cast<size_t>(group)];
        if (words.empty())
            continue;
        if (group == last && earlier)
            text += "e ";
        text += words;
        earlier = true;
    }
    if (text.starts_with("um mil") && !text.starts_with("um milh"))
        text.erase(0, 3);
    return text;
}

}
