// SPDX-License-Identifier: GPL-3.0-or-later
// TranslationRules: the context rules of the built-in translator, bucketed by their first letter.
#include "speech/translation_rules.h"

#include "speech/letter_classes.h"

namespace speech {

namespace {

constexpr size_t context_width = 5;
constexpr size_t output_width = 11;

std::string field(std::string_view line, size_t from, size_t to, size_t width)
{
    if (from >= line.size() || from >= to)
        return {};
    auto text = line.substr(from, std::min(to, line.size()) - from);
    return std::string(text.substr(0, width));
}

// The word seen with positions 1..n, and 0 and n + 1 for its two edges.
struct WordView {
    std::string_view text;
    int length() const { return static_cast<int>(text.size()); }
    bool inside(int k) const { return k >= 1 && k <= length(); }
    char at(int k) const { return inside(k) ? text[static_cast<size_t>(k - 1)] : '\0'; }
};

bool is_one_of(char c, std::string_view set)
{
    return c != '\0' && set.find(c) != std::string_view::npos;
}

bool match_right(std::string_view pattern, const WordView& w, int k)
{
    int n = w.length();
    for (char symbol : pattern) {
        switch (symbol) {
        case '#':
            if (!w.inside(k) || !(is_vowel(w.at(k)) || is_diacritic(w.at(k))))
                return false;
            while (w.inside(k) && (is_vowel(w.at(k)) || is_diacritic(w.at(k))))
                ++k;
            break;
        case '%':
            if (k != 0 && k != n + 1)
                return false;
            break;
        case '&':
            if (!w.inside(k) || !is_one_of(lower_ascii(w.at(k)), "lmnrz"))
                return false;
            ++k;
            break;
        case '*':
            if (!w.inside(k) || !is_consonant(w.at(k)) || is_one_of(lower_ascii(w.at(k)), "rl"))
                return false;
            break;
        case '+':
            if (!w.inside(k) || !is_one_of(w.at(k), "EIei"))
                return false;
            ++k;
            if (w.inside(k) && is_diacritic(w.at(k)))
                ++k;
            break;
        case '[':
            if (!(k == n + 1 || (w.inside(k) && is_consonant(w.at(k)) && lower_ascii(w.at(k)) != 'h')))
                return false;
            break;
        case '\\':
            if (w.inside(k) && lower_ascii(w.at(k)) == 's')
                ++k;
            break;
        default:
            if (!w.inside(k) || upper_ascii(w.at(k)) != symbol)
                return false;
            ++k;
            break;
        }
    }
    return true;
}

bool match_left(std::string_view pattern, const WordView& w, int k)
{
    int n = w.length();
    for (size_t i = pattern.size(); i-- > 0;) {
        char symbol = pattern[i];
        switch (symbol) {
        case '#':
            if (!w.inside(k) || !(is_vowel(w.at(k)) || is_diacritic(w.at(k))))
                return false;
            while (w.inside(k) && (is_vowel(w.at(k)) || is_diacritic(w.at(k))))
                --k;
            break;
        case '%':
            if (k != 0 && k != n + 1)
                return false;
            break;
        case ']':
            if (w.inside(k) && is_one_of(w.at(k), "AOao")) {
                --k;
            } else if (w.inside(k) && is_diacritic(w.at(k)) && is_one_of(w.at(k - 1), "AOao")) {
                k -= 2;
            } else {
                return false;
            }
            break;
        case '_':
            if (k == 0)
                break;
            if (w.inside(k) && is_vowel(w.at(k))) {
                --k;
            } else if (w.inside(k) && is_diacritic(w.at(k)) && is_vowel(w.at(k - 1))) {
                k -= 2;
            } else {
                return false;
            }
            break;
        case '|':
            if (!w.inside(k) || !is_one_of(lower_ascii(w.at(k)), "nrs"))
                return false;
            --k;
            break;
        default:
            if (!w.inside(k) || upper_ascii(w.at(k)) != symbol)
                return false;
            --k;
            break;
        }
    }
    return true;
}

}

void TranslationRules::load(std::string_view file_text)
{
    for (auto& bucket : m_buckets)
        bucket.clear();
    size_t start = 0;
    while (start < file_text.size()) {
        size_t end = file_text.find('\n', start);
        if (end == std::string_view::npos)
            end = file_text.size();
        auto line = file_text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line[0] == ';')
            continue;
        size_t open = line.find('(');
        size_t close = open == std::string_view::npos ? line.size() : line.find(')', open);
        if (close == std::string_view::npos)
            close = line.size();
        size_t equals = close >= line.size() ? line.size() : line.find('=', close);
        if (equals == std::string_view::npos)
            equals = line.size();
        size_t bar = equals >= line.size() ? line.size() : line.find('|', equals);
        if (bar == std::string_view::npos)
            bar = line.size();
        TranslationRule rule;
        rule.left = field(line, 0, open == std::string_view::npos ? line.size() : open, context_width);
        if (open != std::string_view::npos)
            rule.centre = field(line, open + 1, close, context_width);
        if (close < line.size())
            rule.right = field(line, close + 1, equals, context_width);
        if (equals < line.size())
            rule.output = field(line, equals + 1, bar, output_width);
        if (rule.centre.empty())
            continue; // never matches: no bucket holds it
        int first = static_cast<unsigned char>(rule.centre[0]);
        if (first < first_bucket || first > last_bucket)
            continue;
        m_buckets[static_cast<size_t>(first - first_bucket)].push_back(std::move(rule));
    }
}

const std::vector<TranslationRule>& TranslationRules::bucket(char c) const
{
    static const std::vector<TranslationRule> none;
    int code = static_cast<unsigned char>(c);
    if (code < first_bucket || code > last_bucket)
        return none;
    return m_buckets[static_cast<size_t>(code - first_bucket)];
}

size_t TranslationRules::size() const
{
    size_t count = 0;
    for (const auto& bucket : m_buckets)
        count += bucket.size();
    return count;
}

bool rule_matches(const TranslationRule& rule, std::string_view word, size_t position)
{
    WordView w { word };
    int p = static_cast<int>(position) + 1;
    int centre = static_cast<int>(rule.centre.size());
    for (int i = 0; i < centre; ++i) {
        if (!w.inside(p + i) || upper_ascii(w.at(p + i)) != rule.centre[static_cast<size_t>(i)])
            return false;
    }
    return match_left(rule.left, w, p - 1) && match_right(rule.right, w, p + centre);
}

std::string TranslationRules::apply(std::string_view word) const
{
    std::string result = "[";
    size_t position = 0;
    while (position < word.size()) {
        char c = upper_ascii(word[position]);
        std::string unit = " /_";
        unit += c;
        size_t advance = 1;
        for (const auto& rule : bucket(c)) {
            if (rule_matches(rule, word, position)) {
                unit = rule.output;
                advance = rule.centre.size();
                break;
            }
        }
        char original = word[position];
        if (is_vowel(original) && original >= 'A' && original <= 'Z') {
            for (char& u : unit) {
                if (is_vowel(u)) {
                    u = upper_ascii(u);
                    break;
                }
            }
        }
        result += unit;
        position += advance;
        if (position < word.size())
            result += '/';
    }
    result += ']';
    return result;
}

}
