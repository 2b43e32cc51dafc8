// SPDX-License-Identifier: GPL-3.0-or-later
// The phoneme-line voice's normaliser: numbers, ordinals, signs and abbreviations into Portuguese words.
#include "speech/engines/phoneme_line_normaliser.h"

#include "base/script_case.h"
#include "speech/engines/phoneme_line_text.h"
#include "speech/number_words.h"

#include <array>

namespace speech {

namespace {

constexpr std::array<std::string_view, 10> units = { "zero", "um", "dois", "tr\xEAs", "quatro", "cinco", "seis", "sete", "oito", "nove" };

constexpr std::array<std::string_view, 10> ordinal_units = { "", "primeiro", "segundo", "terceiro", "quarto", "quinto", "sexto", "s\xE9timo", "oitavo", "nono" };
constexpr std::array<std::string_view, 10> ordinal_tens = { "", "d\xE9" "cimo", "vig\xE9simo", "trig\xE9simo", "quadrag\xE9simo", "quinquag\xE9simo", "sexag\xE9simo", "septuag\xE9simo", "octag\xE9simo", "nonag\xE9simo" };
constexpr std::array<std::string_view, 10> ordinal_hundreds = { "", "cent\xE9simo", "ducent\xE9simo", "tricent\xE9simo", "quadrigent\xE9simo", "quingent\xE9simo", "seiscent\xE9simo", "septigent\xE9simo", "octigent\xE9simo", "nongent\xE9simo" };
constexpr std::string_view ordinal_thousand = "mil\xE9simo";

// Names of 32..126; the letters are the same for both cases.
constexpr std::array<std::string_view, 95> ascii_names = {
    "espa\xE7o", "exclama\xE7\xE3o", "aspas", "sustenido", "cifr\xE3o", "porcento", "\xE9 comercial", "ap\xF3strofo",
    "abre par\xEAnteses", "fecha par\xEAnteses", "asterisco", "mais", "v\xEDrgula", "tra\xE7o", "ponto", "barra",
    "z\xE9ro", "um", "dois", "tr\xEAs", "quatro", "cinco", "seis", "s\xE9te", "oito", "n\xF3ve",
    "dois pontos", "ponto e v\xEDrgula", "menor que", "igual", "maior que", "interroga\xE7\xE3o", "arr\xF4" "ba",
    "a", "b\xEA", " s\xEA", " d\xEA", "\xE9", "\xE9" "fe", "j\xEA", "ag\xE1", "i", "j\xF3ta", "c\xE1", "\xE9le", "\xEAme", "\xEAne", "\xF3", "p\xEA",
    "qu\xEA", "\xE9rre", "\xE9sse", "t\xEA", "u", "v\xEA", "d\xE1" "bliu", "xis", "\xEDpsilon", "z\xEA",
    "abre colchete", "raiz", "fecha colchete", "circunflexo", "sublinhado", "crase",
    "a", "b\xEA", " s\xEA", " d\xEA", "\xE9", "\xE9" "fe", "j\xEA", "ag\xE1", "i", "j\xF3ta", "c\xE1", "\xE9le", "\xEAme", "\xEAne", "\xF3", "p\xEA",
    "qu\xEA", "\xE9rre", "\xE9sse", "t\xEA", "u", "v\xEA", "d\xE1" "bliu", "xis", "\xEDpsilon", "z\xEA",
    "abre chave", "barra vertical", "fecha chave", "til",
};
// Names of 161..220; 225..255 take the name of the code 32 lower.
constexpr std::array<std::string_view, 60> high_names = {
    "exclama\xE7\xE3o reversa", "centavos de d\xF3lar", "libras", "s\xEDmbolo de moeda", "iene", "barra interrompida",
    "par\xE1grafo", "trema", "copyright", "ordinal feminino", "Aspas esquerdas", "nega\xE7\xE3o", "h\xED" "fen",
    "Marca registrada", "m\xE1" "cron", "grau", "mais ou menos", "elevado ao quadrado", "elevado ao cubo",
    "acento agudo", "mi", "pi", "ponto no meio", "cedilha", "expoente um", "ordinal masculino",
    "aspas direitas", "um quarto", "um meio", "tr\xEAs quartos", "interroga\xE7\xE3o reversa",
    "A grave", "A agudo", "A circunflexo", "A com til", "A com trema", "A bola", "A \xC9", "C\xEA cedilha",
    "\xC9 grave", "\xC9 agudo", "\xC9 circunflexo", "\xC9 com trema", "I grave", "I agudo", "I circunflexo",
    "I com trema", "D\xEA cortado", "N com til", "\xD3 grave", "\xD3 agudo", "\xD3 circunflexo", "\xD3 com til",
    "\xD3 tremado", "vezes", "\xD3 cortado", "U grave", "U agudo", "U circunflexo", "U com trema",
};

constexpr std::string_view accented_letters = "\xC0\xC1\xC2\xC3\xC7\xC9\xCA\xCC\xCD\xD1\xD3\xD4\xD5\xD9\xDA\xDC\xE0\xE1\xE2\xE3\xE7\xE9\xEA\xEC\xED\xF1\xF3\xF4\xF5\xF9\xFA\xFC";
constexpr std::string_view vowels = "AEIOUaeiou";
constexpr std::string_view kept_signs = " !(),.:;?";

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_consonant_letter(uint8_t code)
{
    if ((code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z'))
        return vowels.find(static_cast<char>(code)) == std::string_view::npos;
    return code == 0xC7 || code == 0xD1 || code == 0xE7 || code == 0xF1; // Ç Ñ ç ñ
}

// Reads one number at `position` and returns its words, leaving
// `position` after what it consumed (an ordinal's ending included).
std::string read_number(std::string_view text, size_t& position)
{
    size_t end = position;
    bool has_dash = false;
    while (end < text.size() && (is_digit(text[end]) || text[end] == '-')) {
        has_dash = has_dash || text[end] == '-';
        ++end;
    }
    // Telephone numbers, codes and ranges: said one digit at a time.
    if (has_dash) {
        std::string words;
        for (; position < end; ++position) {
            words += ' ';
            words += text[position] == '-' ? std::string_view("tra\xE7o") : units[static_cast<size_t>(text[position] - '0')];
        }
        return words;
    }
    std::string zeros;
    while (position + 1 < text.size() && text[position] == '0' && is_digit(text[position + 1])) {
        zeros += "zero ";
        ++position;
    }
    uint64_t value = 0;
    int digits = 0;
    while (position < text.size() && digits < 15) {
        char c = text[position];
        if (is_digit(c)) {
            value = value * 10 + static_cast<uint64_t>(c - '0');
            ++digits;
            ++position;
            continue;
        }
        // A point before exactly three digits separates thousands.
        bool three_digits = position + 3 < text.size() && is_digit(text[position + 1]) && is_digit(text[position + 2]) && is_digit(text[position + 3]);
        if (c == '.' && three_digits && (position + 4 == text.size() || !is_digit(text[position + 4]))) {
            ++position;
            continue;
        }
        break;
    }
    auto rest = text.substr(position);
    auto ordinal = [&](OrdinalGender gender, size_t skip, bool plural) {
        position += skip;
        std::string words = ordinal_words(value, gender);
        if (plural)
            words += 's';
        return words;
    };
    if (rest.starts_with("\xBA"))
        return ordinal(OrdinalGender::Masculine, 1, false);
    if (rest.starts_with("\xAA"))
        return ordinal(OrdinalGender::Feminine, 1, false);
    if (rest.starts_with("os."))
        return ordinal(OrdinalGender::Masculine, 3, true);
    if (rest.starts_with("as."))
        return ordinal(OrdinalGender::Feminine, 3, true);
    if (rest.starts_with("o."))
        return ordinal(OrdinalGender::Masculine, 2, false);
    if (rest.starts_with("a."))
        return ordinal(OrdinalGender::Feminine, 2, false);
    return zeros + cardinal_words(value);
}

// Reads a word at `position`: letters, with a hyphen after a letter kept.
std::string_view read_word(std::string_view text, size_t& position)
{
    size_t begin = position;
    while (position < text.size()) {
        auto code = static_cast<uint8_t>(text[position]);
        if (is_word_letter(code) || (code == '-' && position > begin && is_word_letter(static_cast<uint8_t>(text[position - 1]))))
            ++position;
        else
            break;
    }
    return text.substr(begin, position - begin);
}

bool only_consonants(std::string_view word)
{
    for (char c : word) {
        auto code = static_cast<uint8_t>(c);
        if (is_word_letter(code) && !is_consonant_letter(code))
            return false;
    }
    return true;
}

}

bool is_word_letter(uint8_t code)
{
    return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z')
        || (code >= 0x80 && accented_letters.find(static_cast<char>(code)) != std::string_view::npos);
}

void AbbreviationTable::load(std::string_view file_text)
{
    m_entries.clear();
    size_t start = 0;
    while (start < file_text.size() && m_entries.size() < max_abbreviations) {
        size_t end = file_text.find('\n', start);
        if (end == std::string_view::npos)
            end = file_text.size();
        auto line = trim_line(file_text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';')
            continue;
        size_t equals = line.find('=');
        // A line without "=" has no key, and could never match.
        if (equals == std::string_view::npos)
            continue;
        auto key = trim_line(line.substr(0, equals));
        if (key.empty())
            continue;
        auto expansion = trim_line(line.substr(equals + 1).substr(0, max_expansion_length));
        m_entries.push_back({ base::upper_text(key), std::string(expansion) });
    }
}

std::string_view AbbreviationTable::find(std::string_view word) const
{
    if (word.empty())
        return {};
    std::string key = base::upper_text(word);
    for (const auto& entry : m_entries) {
        if (entry.key == key)
            return entry.expansion;
    }
    return {};
}

std::string cardinal_words(uint64_t value)
{
    return number_to_words(value, CardinalSpelling::Written);
}

std::string ordinal_words(uint64_t value, OrdinalGender gender)
{
    if (value >= 2000)
        return cardinal_words(value);
    if (value == 0)
        return "zero";
    std::vector<std::string_view> parts;
    if (value / 1000 != 0)
        parts.push_back(ordinal_thousand);
    if (auto digit = value / 100 % 10)
        parts.push_back(ordinal_hundreds[digit]);
    if (auto digit = value / 10 % 10)
        parts.push_back(ordinal_tens[digit]);
    if (auto digit = value % 10)
        parts.push_back(ordinal_units[digit]);
    std::string words;
    for (auto part : parts) {
        if (!words.empty())
            words += ' ';
        words += part;
        if (gender == OrdinalGender::Feminine)
            words.back() = 'a';
    }
    return words;
}

std::string_view char_name(uint8_t code)
{
    if (code >= 32 && code <= 126)
        return ascii_names[code - 32u];
    if (code >= 225)
        code = static_cast<uint8_t>(code - 32);
    if (code >= 161 && code <= 220)
        return high_names[code - 161u];
    return {};
}

std::string normalise_text(std::string_view text, const AbbreviationTable& abbreviations)
{
    if (text.size() == 1)
        return std::string(char_name(static_cast<uint8_t>(text[0])));
    std::string result;
    size_t position = 0;
    while (position < text.size()) {
        char c = text[position];
        auto code = static_cast<uint8_t>(c);
        bool blank_before = position > 0 && text[position - 1] == ' ';
        if (c == '-' && blank_before && position + 1 < text.size() && text[position + 1] == ' ') {
            result += ',';
            ++position;
        } else if (c == '-' && position + 1 < text.size() && is_digit(text[position + 1])) {
            result += "menos ";
            ++position;
        } else if (is_digit(c)) {
            result += ' ';
            result += read_number(text, position);
            result += ' ';
            while (position + 1 < text.size() && (text[position] == ',' || text[position] == '.') && is_digit(text[position + 1])) {
                result += text[position] == ',' ? "v\xEDrgula " : "ponto ";
                ++position;
                result += read_number(text, position);
                result += ' ';
            }
        } else if (is_word_letter(code)) {
            auto word = read_word(text, position);
            bool point_after = position < text.size() && text[position] == '.';
            auto expansion = point_after ? abbreviations.find(word) : std::string_view();
            if (!expansion.empty() && position + 1 < text.size() && text[position + 1] == ' ') {
                result += expansion;
                ++position;
            } else if (only_consonants(word) && expansion.empty()) {
                for (char letter : word) {
                    if (letter == '-')
                        continue;
                    result += ' ';
                    result += char_name(static_cast<uint8_t>(letter));
                }
            } else {
                result += word;
            }
        } else if (text.substr(position).starts_with("...")) {
            result += "... ";
            position += 3;
        } else if (c == '.' && position + 1 < text.size() && text[position + 1] != ' ') {
            result += " ponto ";
            ++position;
        } else if (kept_signs.find(c) != std::string_view::npos) {
            result += c;
            ++position;
        } else if (c == '\t' || c == '\n' || c == '\r') {
            // A line break separates words; dropping it would glue the
            // last word of a line to the first of the next.
            result += ' ';
            ++position;
        } else {
            result += ' ';
            result += char_name(code);
            result += ' ';
            ++position;
        }
    }
    return result;
}

}
