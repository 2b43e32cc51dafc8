// SPDX-License-Identifier: GPL-3.0-or-later
// Translation of a console row into Portuguese grade-1 braille text.
#include "braille/braille_translation.h"

#include <array>
#include <cstdint>
#include <span>

namespace braille {

namespace {

constexpr char number_sign = '#';
constexpr char grave = '`';
constexpr std::string_view lowered_digits = "},;:/?!=\"*";
constexpr std::string_view digit_letters = "jabcdefghi";

constexpr uint8_t feminine_ordinal = 0xAA;
constexpr uint8_t masculine_ordinal = 0xBA;
constexpr uint8_t multiplication_sign = 0xD7;
constexpr uint8_t sharp_s = 0xDF;
constexpr uint8_t small_ae = 0xE6;
constexpr uint8_t division_sign = 0xF7;

bool is_digit(uint8_t byte) { return byte >= '0' && byte <= '9'; }

// Small letters, Latin-1 included. "æ" has a translation of its own.
bool is_lower(uint8_t byte)
{
    if (byte >= 'a' && byte <= 'z')
        return true;
    return byte >= 0xE0 && byte != division_sign && byte != small_ae;
}

bool is_upper(uint8_t byte)
{
    if (byte >= 'A' && byte <= 'Z')
        return true;
    return byte >= 0xC0 && byte <= 0xDE && byte != multiplication_sign;
}

// The small letter of a capital, written as the translation writes it.
std::string_view lower_of(uint8_t capital, std::array<char, 1>& buffer)
{
    if (capital == 0xC6)
        return "ae";
    buffer[0] = static_cast<char>(capital + 32);
    return { buffer.data(), 1 };
}

struct SignEntry {
    uint8_t byte;
    std::string_view text;
};

// A grave accent followed by one of these makes one sign.
constexpr std::array<SignEntry, 25> grave_signs { {
    { '"', "\xFC\xFC" },
    { '%', "_}}" },
    { '\'', "\xFC" },
    { '(', "\xEA" },
    { ')', "\xE3" },
    { '*', "\xD7" },
    { 'X', "\xD7" },
    { 'x', "\xD7" },
    { '+', "+" },
    { '-', "-" },
    { '.', "." },
    { '/', "\xF7" },
    { ':', "\xF7" },
    { '=', "=" },
    { 'E', "\x80" "e" },
    { 'e', "\x80" "e" },
    { 'O', "\xB0" },
    { 'o', "\xB0" },
    { '[', "\xE1" },
    { ']', "\xFA" },
    { '^', "\xE5" },
    { '_', "~\xF7" },
    { division_sign, "~\xF7" },
    { '{', "~l" },
    { '}', "_," },
} };

// Every other character with a translation of its own.
constexpr std::array<SignEntry, 31> character_signs { {
    { '#', "#" },
    { '%', "_}" },
    { '*', "*" },
    { '/', "\\," },
    { '?', "?" },
    { '\\', "~." },
    { '_', "_" },
    { 0x80, "\x80" "e" }, // euro sign
    { 0x85, "..." }, // ellipsis
    { 0x89, "_}}" }, // per mille
    { 0x91, "$\"" }, // single quotes
    { 0x92, "$\"" },
    { 0x95, "\xF5o" }, // bullet
    { 0x96, "--" }, // en dash
    { 0x97, "--" }, // em dash
    { 0xAD, "--" }, // soft hyphen
    { 0x9C, "oe" },
    { 0xA7, "ss" }, // section sign
    { 0xAB, "\\\"" }, // guillemets
    { 0xBB, "\\\"" },
    { 0xB2, "\xE5#b" }, // superscripts
    { 0xB3, "\xE5#c" },
    { 0xB9, "\xE5#a" },
    { 0xBC, "#,d" }, // fractions
    { 0xBD, "#,b" },
    { 0xBE, "#:d" },
    { sharp_s, "\xAC" "b" },
    { small_ae, "ae" },
    { 0x93, "\"" }, // curly double quotes
    { 0x94, "\"" },
    { '"', "\"" },
} };

const SignEntry* find_sign(std::span<const SignEntry> table, uint8_t byte)
{
    for (const auto& entry : table) {
        if (entry.byte == byte)
            return &entry;
    }
    return nullptr;
}

class RowTranslator {
public:
    explicit RowTranslator(std::string_view row)
        : m_row(row)
    {
        m_result.offsets.assign(row.size(), 0);
    }

    Translation run()
    {
        while (m_position < m_row.size())
            translate_next();
        return std::move(m_result);
    }

private:
    uint8_t at(size_t position) const
    {
        return position < m_row.size() ? static_cast<uint8_t>(m_row[position]) : 0;
    }
    bool digit_at(size_t position) const { return is_digit(at(position)); }

    // The next `count` bytes of the row are written from here on.
    void consume(size_t count)
    {
        for (size_t index = 0; index < count && m_position < m_row.size(); ++index)
            m_result.offsets[m_position++] = m_result.text.size();
    }
    void write(std::string_view text) { m_result.text += text; }
    void write(char byte) { m_result.text += byte; }

    void translate_next();
    void translate_capitals();
    void translate_number();
    void translate_digits();
    void translate_lowered_number();
    bool translate_ordinal(size_t after_digits);
    size_t digit_run_end(size_t from) const
    {
        while (digit_at(from))
            ++from;
        return from;
    }
    void write_lowered(size_t from, size_t to)
    {
        for (size_t position = from; position < to; ++position)
            write(lowered_digits[at(position) - '0']);
    }
    // The matching closing bracket of an opening one: the first `closing`
    // after it, or the end of the row.
    size_t find_closing(size_t from, uint8_t closing) const
    {
        for (size_t position = from + 1; position < m_row.size(); ++position) {
            if (at(position) == closing)
                return position;
        }
        return m_row.size();
    }

    std::string_view m_row;
    size_t m_position = 0;
    // An ordinary bracket was opened and not closed yet: a ")" after a digit
    // closes it instead of closing a number's bracket.
    bool m_bracket_open = false;
    Translation m_result;
};

void RowTranslator::translate_next()
{
    uint8_t byte = at(m_position);
    if (is_lower(byte)) {
        while (is_lower(at(m_position))) {
            consume(1);
            write(m_row[m_position - 1]);
        }
        return;
    }
    if (is_upper(byte)) {
        translate_capitals();
        return;
    }
    if (is_digit(byte)) {
        translate_number();
        return;
    }
    if (byte == grave && digit_at(m_position + 1)) {
        translate_lowered_number();
        return;
    }
    if ((byte == '(' || byte == '[') && digit_at(m_position + 1)) {
        uint8_t closing = byte == '(' ? ')' : ']';
        size_t end = find_closing(m_position, closing);
        if (end < m_row.size() && digit_at(end - 1)) {
            consume(1);
            write(byte == '(' ? '\xEA' : '\xE1');
            return;
        }
        consume(1);
        write(byte == '(' ? "(." : "[.");
        m_bracket_open = true;
        return;
    }
    if ((byte == ')' || byte == ']') && m_position > 0 && digit_at(m_position - 1) && !m_bracket_open) {
        consume(1);
        write(byte == ')' ? '\xE3' : '\xFA');
        return;
    }
    if (byte == grave) {
        uint8_t next = at(m_position + 1);
        if (next == grave) {
            consume(2);
            return;
        }
        if (m_position + 1 < m_row.size()) {
            if (const auto* sign = find_sign(grave_signs, next)) {
                consume(2);
                write(sign->text);
                return;
            }
        }
    }
    consume(1);
    // Brackets open and close whether they are round or square, so that a
    // square pair cannot leave a round one open for the rest of the row.
    if (byte == '(' || byte == '[') {
        write(byte == '(' ? "(." : "[.");
        m_bracket_open = true;
    } else if (byte == ')' || byte == ']') {
        write(byte == ')' ? "\\)" : "\\]");
        m_bracket_open = false;
    } else if (const auto* sign = find_sign(character_signs, byte)) {
        write(sign->text);
    } else {
        write(static_cast<char>(byte));
    }
}

// One capital gets the capital sign; a run of two or more gets the double
// sign, and a small letter right after the run the sign that ends it.
void RowTranslator::translate_capitals()
{
    std::array<char, 1> buffer {};
    if (!is_upper(at(m_position + 1))) {
        consume(1);
        write('{');
        write(lower_of(at(m_position - 1), buffer));
        return;
    }
    consume(1);
    write("{{");
    write(lower_of(at(m_position - 1), buffer));
    while (is_upper(at(m_position))) {
        consume(1);
        write(lower_of(at(m_position - 1), buffer));
    }
    if (is_lower(at(m_position)))
        write('~');
}

// Digits followed by an ordinal ending ("1º", "2a.", "3os.") are written
// lowered, with the ending's letters.
bool RowTranslator::translate_ordinal(size_t after_digits)
{
    struct Ending {
        std::string_view text;
        std::string_view letters;
    };
    static constexpr std::array<Ending, 6> endings { {
        { "\xAA", "a" },
        { "\xBA", "o" },
        { "as.", "as" },
        { "os.", "os" },
        { "a.", "a" },
        { "o.", "o" },
    } };
    std::string_view rest = m_row.substr(after_digits);
    for (const auto& ending : endings) {
        if (rest.starts_with(ending.text)) {
            while (m_position < after_digits) {
                consume(1);
                write_lowered(m_position - 1, m_position);
            }
            consume(ending.text.size());
            write(ending.letters);
            return true;
        }
    }
    return false;
}

void RowTranslator::translate_number()
{
    // The caret on the first digit is shown at the number sign.
    size_t first = m_position;
    size_t sign_offset = m_result.text.size();
    write(number_sign);
    translate_digits();
    m_result.offsets[first] = sign_offset;
}

void RowTranslator::translate_digits()
{
    if (translate_ordinal(digit_run_end(m_position)))
        return;
    size_t group = 0; // digits since the number began or the last point
    while (m_position < m_row.size()) {
        uint8_t byte = at(m_position);
        if (is_digit(byte)) {
            consume(1);
            write(digit_letters[byte - '0']);
            ++group;
        } else if ((byte == '$' || byte == ',') && digit_at(m_position + 1)) {
            consume(1);
            write(static_cast<char>(byte));
            group = 0;
        } else if (byte == '.' && digit_at(m_position + 1)) {
            // A point between short groups (a date, a decimal) starts a new
            // number; one that separates thousands does not.
            size_t after = digit_run_end(m_position + 1) - (m_position + 1);
            consume(1);
            write(group < 3 && after < 3 ? ".#" : ".");
            group = 0;
        } else {
            if (byte >= 'a' && byte <= 'j' && digit_at(m_position - 1))
                write('~');
            return;
        }
    }
}

// "`12/34": the lowered digits, then the digits after a "/" in the ordinary
// (upper) form, as a fraction is written.
void RowTranslator::translate_lowered_number()
{
    consume(1);
    write(number_sign);
    while (digit_at(m_position)) {
        consume(1);
        write_lowered(m_position - 1, m_position);
    }
    if (at(m_position) == '/' && digit_at(m_position + 1)) {
        consume(1);
        while (digit_at(m_position)) {
            consume(1);
            write(digit_letters[at(m_position - 1) - '0']);
        }
    }
}

}

Translation translate_row(std::string_view row)
{
    return RowTranslator(row).run();
}

}
