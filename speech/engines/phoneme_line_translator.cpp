// SPDX-License-Identifier: GPL-3.0-or-later
// The phoneme-line voice's translator: word lines into phoneme lines by context rules and exceptions.
#include "speech/engines/phoneme_line_translator.h"

#include "base/script_case.h"
#include "speech/engines/phoneme_line_text.h"

#include <optional>

namespace speech {

namespace {

constexpr size_t context_width = 5;
constexpr size_t output_read_width = 20;
constexpr size_t output_used_width = 11;

constexpr std::string_view vowel_letters = "AEIOUaeiou\xC0\xC1\xC2\xC3\xC9\xCA\xCC\xCD\xD3\xD4\xD5\xD9\xDA\xDC\xE0\xE1\xE2\xE3\xE9\xEA\xEC\xED\xF3\xF4\xF5\xF9\xFA\xFC";
constexpr std::string_view a_o_group = "AOao\xC1\xC2\xD3\xD4\xE1\xE2\xF3\xF4";
constexpr std::string_view e_i_group = "EIei\xC9\xCD\xE9\xED";
constexpr std::string_view punctuation = " !(),.:;?";
constexpr char stress_mark = '>';
constexpr char unstress_mark = '\xA8'; // "¨"

bool contains(std::string_view set, char c) { return set.find(c) != std::string_view::npos; }

bool is_vowel(char c) { return contains(vowel_letters, c); }

bool is_consonant(char c)
{
    auto code = static_cast<uint8_t>(c);
    if ((code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z'))
        return !is_vowel(c);
    return contains("\xC7\xD1\xE7\xF1", c);
}

bool is_one_of(char c, std::string_view upper_letters)
{
    return contains(upper_letters, base::upper_byte(c));
}

bool right_context_matches(std::string_view pattern, std::string_view word, size_t k)
{
    const size_t n = word.size();
    for (char symbol : pattern) {
        bool inside = k < n;
        char c = inside ? word[k] : '\0';
        switch (symbol) {
        case '#':
            if (!inside || !is_vowel(c))
                return false;
            ++k;
            break;
        case '%':
            if (inside)
                return false;
            break;
        case '&':
            if (!inside || !is_one_of(c, "LMNRZ"))
                return false;
            ++k;
            break;
        case '*':
            if (!inside || !is_consonant(c) || is_one_of(c, "LR"))
                return false;
            break;
        case '+':
            if (!inside || !contains(e_i_group, c))
                return false;
            ++k;
            break;
        case '[':
            if (inside && (!is_consonant(c) || is_one_of(c, "H")))
                return false;
            break;
        case '\\':
            if (inside && is_one_of(c, "S"))
                ++k;
            break;
        default:
            if (!inside || c != symbol)
                return false;
            ++k;
        }
    }
    return true;
}

// `k` counts from 1 so that 0 is the place before the word.
bool left_context_matches(std::string_view pattern, std::string_view word, size_t k)
{
    for (size_t i = pattern.size(); i-- > 0;) {
        char symbol = pattern[i];
        bool inside = k > 0;
        char c = inside ? word[k - 1] : '\0';
        switch (symbol) {
        case '#':
            if (!inside || !is_vowel(c))
                return false;
            --k;
            break;
        case '%':
            if (inside)
                return false;
            break;
        case ']':
            if (!inside || !contains(a_o_group, c))
                return false;
            --k;
            break;
        case '_':
            if (inside) {
                if (!is_vowel(c))
                    return false;
                --k;
            }
            break;
        case '|':
            if (!inside || !is_one_of(c, "NRS"))
                return false;
            --k;
            break;
        default:
            if (!inside || c != symbol)
                return false;
            --k;
        }
    }
    return true;
}


// A field of a rule line: from `begin` up to `stop`, cut to `width`. When
// the stop character is missing the field runs to the line end and every
// later field is empty.
std::string_view take_field(std::string_view line, size_t& begin, char stop, size_t width, bool& missing)
{
    if (missing || begin > line.size())
        return {};
    size_t end = line.find(stop, begin);
    if (end == std::string_view::npos) {
        missing = true;
        end = line.size();
    }
    auto field = line.substr(begin, end - begin).substr(0, width);
    begin = end + 1;
    return field;
}

bool is_function_word(std::string_view word)
{
    return word.size() <= 2 || word == "POR" || word == "DAS" || word == "DOS" || word == "COM" || word == "N\xC3O" || word == "SIM";
}

bool begins_with_vowel_phoneme(std::string_view line)
{
    if (!line.empty() && (line[0] == stress_mark || line[0] == unstress_mark))
        line.remove_prefix(1);
    // The open vowels E and O are vowels too: "mar aberto" and "mas ela"
    // join the same way as "mar azul".
    return !line.empty() && contains("aeiouwyEO", line[0]);
}

}

std::string lower_text(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        auto code = static_cast<uint8_t>(c);
        if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7))
            c = static_cast<char>(code + 32);
    }
    return lower;
}

void PhonemeLineTranslator::clear()
{
    for (auto& bucket : m_buckets)
        bucket.clear();
    m_exceptions.load({});
}

void PhonemeLineTranslator::load_rules(std::string_view file_text)
{
    for (auto& bucket : m_buckets)
        bucket.clear();
    for (auto line : split_lines(file_text)) {
        if (line.empty() || line[0] == ';')
            continue;
        PhonemeRule rule;
        bool missing = false;
        size_t begin = 0;
        rule.left = take_field(line, begin, '(', context_width, missing);
        rule.centre = take_field(line, begin, ')', context_width, missing);
        rule.right = take_field(line, begin, '=', context_width, missing);
        bool no_bar = false;
        rule.output = take_field(line, begin, '|', output_read_width, no_bar).substr(0, output_used_width);
        if (missing)
            rule.output.clear();
        // A line that does not parse has no centre, and never matches.
        if (rule.centre.empty())
            continue;
        auto code = static_cast<uint8_t>(rule.centre[0]);
        if (code < first_bucket)
            continue;
        m_buckets[code - first_bucket].push_back(std::move(rule));
    }
}

void PhonemeLineTranslator::load_exceptions(std::string_view file_text)
{
    m_exceptions.load(base::upper_text(file_text));
}

const std::vector<PhonemeRule>& PhonemeLineTranslator::bucket(uint8_t code) const
{
    static const std::vector<PhonemeRule> none;
    if (code < first_bucket)
        return none;
    return m_buckets[code - first_bucket];
}

size_t PhonemeLineTranslator::rule_count() const
{
    size_t count = 0;
    for (const auto& bucket : m_buckets)
        count += bucket.size();
    return count;
}

bool phoneme_rule_matches(const PhonemeRule& rule, std::string_view word, size_t position)
{
    if (rule.centre.empty() || position + rule.centre.size() > word.size())
        return false;
    if (word.substr(position, rule.centre.size()) != rule.centre)
        return false;
    return right_context_matches(rule.right, word, position + rule.centre.size()) && left_context_matches(rule.left, word, position);
}

std::vector<std::string> PhonemeLineTranslator::translate_word(std::string_view word) const
{
    std::string spelled(word);
    std::string suffix;
    std::optional<std::string_view> found = m_exceptions.find(spelled);
    while (!found && spelled.size() > 1 && (spelled.back() == 'S' || spelled.back() == 'M')) {
        suffix.insert(suffix.begin(), spelled.back());
        spelled.pop_back();
        found = m_exceptions.find(spelled);
    }
    spelled = found ? std::string(*found) + suffix : std::string(word);

    size_t stress = is_function_word(spelled) ? 0 : find_stress(lower_text(spelled));
    bool stress_placed = stress == 0;
    std::vector<std::string> phonemes;
    size_t position = 0;
    while (position < spelled.size()) {
        const PhonemeRule* taken = nullptr;
        for (const auto& rule : bucket(static_cast<uint8_t>(spelled[position]))) {
            if (phoneme_rule_matches(rule, spelled, position)) {
                taken = &rule;
                break;
            }
        }
        if (!taken) {
            ++position;
            continue;
        }
        bool mark = !stress_placed && position + 1 >= stress;
        std::string current;
        auto close = [&] {
            if (current.empty())
                return;
            if (mark) {
                current.insert(current.begin(), stress_mark);
                mark = false;
                stress_placed = true;
            }
            phonemes.push_back(std::move(current));
            current.clear();
        };
        for (char c : taken->output) {
            if (c == '&')
                close();
            else
                current += c;
        }
        close();
        position += taken->centre.size();
    }
    return phonemes;
}

std::vector<std::string> PhonemeLineTranslator::translate(const std::vector<std::string>& word_lines) const
{
    std::vector<std::string> output;
    for (const auto& line : word_lines) {
        output.push_back(";" + line);
        std::string word = line.size() > 4 ? base::upper_text(std::string_view(line).substr(4)) : std::string();
        if (word.empty()) {
            output.emplace_back("__");
            output.emplace_back();
        } else if (contains(punctuation, word[0])) {
            output.push_back(std::string("_") + word[0]);
        } else {
            for (auto& phoneme : translate_word(word))
                output.push_back(std::move(phoneme));
            output.emplace_back();
        }
    }
    output.emplace_back("__");
    // Liaison: a final r or s joins the vowel that begins the next word.
    for (size_t i = 3; i + 1 < output.size(); ++i) {
        if (output[i].empty() || output[i][0] != ';' || !begins_with_vowel_phoneme(output[i + 1]))
            continue;
        std::string& last = output[i - 2];
        if (last == "r2")
            last = "r";
        else if (last == "s2")
            last = "z";
    }
    return output;
}

size_t find_stress(std::string_view word)
{
    const size_t n = word.size();
    for (size_t k = n; k > 0; --k) {
        if (contains("\xE0\xE1\xE2\xE3\xE9\xEA\xED\xF3\xF4\xF5\xFA", word[k - 1]))
            return k;
    }
    auto vowel = [](char c) { return contains("aeiouwy\xFC", c); };
    bool any_vowel = false;
    for (char c : word)
        any_vowel = any_vowel || vowel(c);
    if (!any_vowel)
        return 0;
    int state = 0;
    size_t candidate = 0;
    for (size_t k = n; k > 0; --k) {
        char c = word[k - 1];
        bool aeo = contains("aeo", c);
        bool gq = c == 'g' || c == 'q';
        switch (state) {
        case 0:
            if (aeo) {
                candidate = k;
                state = 1;
            } else if (c == 'i') {
                candidate = k;
                state = 20;
            } else if (c == 'u') {
                candidate = k;
                state = 10;
            } else if (c == 'm') {
                state = 40;
            } else if (c != 's') {
                state = 30;
            }
            break;
        case 1:
            if (c == 'u')
                state = 4;
            else if (vowel(c))
                return k;
            else
                state = 2;
            break;
        case 2:
            if (aeo)
                return k;
            if (c == 'i' || c == 'u') {
                candidate = k;
                state = 3;
            }
            break;
        case 3:
            if (aeo)
                return k;
            if (c != 'u')
                return candidate;
            state = 5;
            break;
        case 4:
            if (!gq)
                return k + 1;
            candidate = k + 2;
            state = 2;
            break;
        case 5:
        case 21:
            return gq ? k + 2 : k + 1;
        case 10:
            if (contains("aeio", c))
                return k;
            return candidate;
        case 20:
            if (aeo) {
                candidate = k;
            } else if (c == 'u') {
                state = 21;
            } else {
                return candidate;
            }
            break;
        case 30:
            if (vowel(c))
                return k;
            break;
        case 40:
            if (c == 'a' || c == 'e') {
                candidate = k;
                state = 1;
            } else if (contains("iou", c)) {
                return k;
            } else {
                state = 0;
            }
            break;
        }
    }
    return candidate;
}

}
