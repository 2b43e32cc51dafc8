// SPDX-License-Identifier: GPL-3.0-or-later
// A compact model of the built-in letter-to-sound translator.
#include "translator_model.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace voice {

namespace {

constexpr size_t context_width = 5;
constexpr size_t output_width = 11;
constexpr size_t exception_limit = 15000;

char lower_ascii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }
char upper_ascii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }
bool is_ascii_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_small_vowel(char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u'; }
bool is_punctuation(char c) { return c == ' ' || c == '!' || c == ',' || c == '.' || c == ':' || c == ';' || c == '?'; }
bool is_any_of(char c, std::string_view set) { return set.find(c) != std::string_view::npos; }

std::optional<std::string> read_whole_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

std::vector<std::string_view> split_lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The mapping of bytes from 128 up. Codes 128 to 191 follow the DOS code page
// 850, the rest Windows-1252; nullptr means "no mapping".
const char* accent_mapping(unsigned char code)
{
    switch (code) {
    case 128: case 135: case 199: case 231: return "ss";
    case 129: case 154: return "u\"";
    case 130: case 144: case 201: case 233: return "e'";
    case 131: case 194: case 226: return "a^";
    case 132: case 142: case 195: case 227: case 196: case 228: return "a~";
    case 133: case 192: case 224: return "a`";
    case 134: case 143: case 160: case 193: case 225: return "a'";
    case 136: case 202: case 234: return "e^";
    case 137: case 203: case 235: return "e\"";
    case 138: case 200: case 232: return "e`";
    case 139: case 207: case 239: return "i\"";
    case 140: case 206: case 238: return "i^";
    case 141: case 204: case 236: return "i`";
    case 145: case 198: case 230: return "ae";
    case 146: return "-";
    case 147: case 212: case 244: return "o^";
    case 148: case 153: case 213: case 245: return "o~";
    case 149: case 210: case 242: case 214: case 246: return "o`";
    case 150: case 219: case 251: return "u^";
    case 151: case 217: case 249: return "u`";
    case 152: return "y-";
    case 161: case 205: case 237: return "i'";
    case 162: case 211: case 243: return "o'";
    case 163: case 218: case 250: return "u'";
    case 164: case 165: case 209: case 241: return "nh";
    case 167: return "\xA7";
    case 168: case 191: return "?";
    case 171: return "\xAA";
    case 173: return "!";
    case 174: case 175: return "\"";
    case 187: return "\xBA";
    case 197: case 229: return "a";
    case 215: case 247: return "x";
    case 216: case 248: return "0";
    case 220: case 252: return "u";
    case 208: case 240: case 221: case 253: case 222: case 254: case 223: case 255: return "";
    default: return nullptr;
    }
}

bool match_left(std::string_view pattern, std::string_view w, int k)
{
    int n = int(w.size());
    auto at = [&](int position) { return w[size_t(position - 1)]; };
    for (int i = int(pattern.size()) - 1; i >= 0; --i) {
        char symbol = pattern[size_t(i)];
        switch (symbol) {
        case '#': {
            int start = k;
            while (k >= 1 && (is_rule_vowel(at(k)) || is_diacritic_mark(at(k))))
                --k;
            if (k == start)
                return false;
            break;
        }
        case '%':
            if (k != 0 && k != n + 1)
                return false;
            break;
        case ']':
            if (k >= 1 && is_any_of(at(k), "AOao"))
                --k;
            else if (k >= 2 && is_diacritic_mark(at(k)) && is_any_of(at(k - 1), "AOao"))
                k -= 2;
            else
                return false;
            break;
        case '_':
            if (k == 0)
                break;
            if (is_rule_vowel(at(k)))
                --k;
            else if (k >= 2 && is_diacritic_mark(at(k)) && is_rule_vowel(at(k - 1)))
                k -= 2;
            else
                return false;
            break;
        case '|':
            if (k >= 1 && is_any_of(lower_ascii(at(k)), "nrs"))
                --k;
            else
                return false;
            break;
        default:
            if (k >= 1 && upper_ascii(at(k)) == symbol)
                --k;
            else
                return false;
        }
    }
    return true;
}

bool match_right(std::string_view pattern, std::string_view w, int k)
{
    int n = int(w.size());
    auto inside = [&](int position) { return position >= 1 && position <= n; };
    auto at = [&](int position) { return w[size_t(position - 1)]; };
    for (char symbol : pattern) {
        switch (symbol) {
        case '#': {
            int start = k;
            while (inside(k) && (is_rule_vowel(at(k)) || is_diacritic_mark(at(k))))
                ++k;
            if (k == start)
                return false;
            break;
        }
        case '%':
            if (k != 0 && k != n + 1)
                return false;
            break;
        case '&':
            if (!inside(k) || !is_any_of(lower_ascii(at(k)), "lmnrz"))
                return false;
            ++k;
            break;
        case '*':
            if (!inside(k) || !is_rule_consonant(at(k)) || is_any_of(lower_ascii(at(k)), "rl"))
                return false;
            break;
        case '+':
            if (!inside(k) || !is_any_of(at(k), "EIei"))
                return false;
            ++k;
            if (inside(k) && is_diacritic_mark(at(k)))
                ++k;
            break;
        case '[':
            if (k != n + 1 && !(inside(k) && is_rule_consonant(at(k)) && lower_ascii(at(k)) != 'h'))
                return false;
            break;
        case '\\':
            if (inside(k) && lower_ascii(at(k)) == 's')
                ++k;
            break;
        default:
            if (!inside(k) || upper_ascii(at(k)) != symbol)
                return false;
            ++k;
        }
    }
    return true;
}

}

bool is_rule_vowel(char c) { return is_small_vowel(lower_ascii(c)); }
bool is_rule_letter(char c) { return is_ascii_letter(c); }
bool is_rule_consonant(char c) { return is_ascii_letter(c) && !is_rule_vowel(c); }
bool is_diacritic_mark(char c) { return c == '"' || c == '\'' || c == '^' || c == '`' || c == '~'; }

RuleSet RuleSet::parse(std::string_view text)
{
    RuleSet rules;
    for (std::string_view line : split_lines(text)) {
        if (!line.empty() && line.front() == ';')
            continue;
        Rule rule;
        size_t open = line.find('(');
        rule.left = std::string(line.substr(0, std::min(open, line.size())).substr(0, context_width));
        if (open != std::string_view::npos) {
            std::string_view rest = line.substr(open + 1);
            size_t close = rest.find(')');
            rule.centre = std::string(rest.substr(0, close).substr(0, context_width));
            if (close != std::string_view::npos) {
                rest = rest.substr(close + 1);
                size_t equals = rest.find('=');
                rule.right = std::string(rest.substr(0, equals).substr(0, context_width));
                if (equals != std::string_view::npos) {
                    rest = rest.substr(equals + 1);
                    rule.output = std::string(rest.substr(0, rest.find('|')).substr(0, output_width));
                }
            }
        }
        if (rule.centre.empty())
            continue;
        unsigned char first = static_cast<unsigned char>(rule.centre.front());
        if (first < 32 || first > 95)
            continue;
        rules.m_buckets[first - 32].push_back(std::move(rule));
        ++rules.m_count;
    }
    return rules;
}

std::optional<RuleSet> RuleSet::load(const std::string& path)
{
    auto text = read_whole_file(path);
    if (!text)
        return std::nullopt;
    return parse(*text);
}

std::string RuleSet::apply(std::string_view w) const
{
    std::string out = "[";
    int n = int(w.size());
    int p = 1;
    while (p <= n) {
        char c = upper_ascii(w[size_t(p - 1)]);
        std::string unit = std::string(" /_") + c;
        int advance = 1;
        unsigned char code = static_cast<unsigned char>(c);
        if (code >= 32 && code <= 95) {
            for (const Rule& rule : m_buckets[code - 32]) {
                int length = int(rule.centre.size());
                if (p + length - 1 > n)
                    continue;
                bool centre_matches = true;
                for (int i = 0; i < length && centre_matches; ++i)
                    centre_matches = upper_ascii(w[size_t(p - 1 + i)]) == rule.centre[size_t(i)];
                if (!centre_matches || !match_left(rule.left, w, p - 1) || !match_right(rule.right, w, p + length))
                    continue;
                unit = rule.output;
                advance = length;
                break;
            }
        }
        char letter = w[size_t(p - 1)];
        if (is_any_of(letter, "AEIOU")) {
            auto vowel = std::find_if(unit.begin(), unit.end(), [](char u) { return is_small_vowel(u); });
            if (vowel != unit.end())
                *vowel = upper_ascii(*vowel);
        }
        out += unit;
        p += advance;
        if (p <= n)
            out += '/';
    }
    out += ']';
    return out;
}

ExceptionTable ExceptionTable::parse(std::string_view text)
{
    ExceptionTable table;
    for (std::string_view line : split_lines(text)) {
        if (table.m_entries.size() >= exception_limit)
            break;
        line = line.substr(0, 255);
        if (line.empty())
            continue;
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            table.m_entries.emplace_back(std::string(line) + "|", std::string());
            continue;
        }
        std::string_view respelling = line.substr(equals + 1);
        table.m_entries.emplace_back(std::string(line.substr(0, equals)),
                                     std::string(respelling.substr(0, respelling.find('|'))));
    }
    std::stable_sort(table.m_entries.begin(), table.m_entries.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return table;
}

std::optional<ExceptionTable> ExceptionTable::load(const std::string& path)
{
    auto text = read_whole_file(path);
    if (!text)
        return std::nullopt;
    return parse(*text);
}

const std::string* ExceptionTable::find(std::string_view word) const
{
    auto found = std::lower_bound(m_entries.begin(), m_entries.end(), word,
                                  [](const auto& entry, std::string_view key) { return entry.first < key; });
    if (found == m_entries.end() || found->first != word)
        return nullptr;
    return &found->second;
}

std::string ExceptionTable::respell(std::string_view word) const
{
    std::string_view stem = word;
    while (!stem.empty()) {
        if (const std::string* respelling = find(stem))
            return *respelling + std::string(word.substr(stem.size()));
        if (stem.back() != 's' && stem.back() != 'm')
            break;
        stem.remove_suffix(1);
    }
    return std::string(word);
}

std::string prepare_text(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        unsigned char code = static_cast<unsigned char>(c);
        bool letter_before = i > 0 && is_ascii_letter(text[i - 1]);
        bool letter_after = i + 1 < text.size() && is_ascii_letter(text[i + 1]);
        if ((c == 'W' || c == 'w') && (letter_before || letter_after)) {
            out += 'u';
        } else if ((c == 'Y' || c == 'y') && (letter_before || letter_after)) {
            out += 'i';
        } else if (c == '\'' && i > 0 && (text[i - 1] == 'D' || text[i - 1] == 'd')) {
        } else if (code < 32) {
            out += std::string(" \0 ", 3);
        } else if (code >= 128) {
            const char* mapped = accent_mapping(code);
            out += mapped ? std::string(mapped) : std::string(" \0 ", 3);
        } else {
            out += c;
        }
    }
    return out;
}

void mark_stress(std::string& word, bool explicitly_accented, int vowel_count)
{
    int n = int(word.size());
    if (explicitly_accented || vowel_count == 0 || (vowel_count == 1 && (n == 0 || word.back() != 'l')))
        return;
    auto stress = [&](int position) { word[size_t(position)] = upper_ascii(word[size_t(position)]); };
    auto is_gq = [&](int position) { return position >= 0 && (word[size_t(position)] == 'g' || word[size_t(position)] == 'q'); };
    int state = 0;
    int glide = -1;
    for (int k = n - 1; k >= 0; --k) {
        char c = word[size_t(k)];
        bool open_vowel = is_any_of(c, "aeo");
        bool close_vowel = is_any_of(c, "iu");
        bool consonant = is_rule_consonant(c);
        switch (state) {
        case 0:
            if (open_vowel) state = 5;
            else if (close_vowel) { state = 3; glide = k; }
            else if (is_any_of(c, "lnrxz")) state = 1;
            else if (c == 'm') state = 2;
            else if (c == 's') state = 4;
            break;
        case 1:
            if (is_small_vowel(c)) { stress(k); return; }
            break;
        case 2:
            if (c == 'a' || c == 'e') state = 5;
            else if (close_vowel) { state = 3; glide = k; }
            else if (c == 'o') { stress(k); return; }
            break;
        case 3:
            if (consonant) { stress(k + 1); return; }
            if (is_small_vowel(c)) {
                bool after_gu = k >= 2 && word[size_t(k - 1)] == 'u' && is_gq(k - 2);
                bool is_gu = c == 'u' && is_gq(k - 1);
                stress(after_gu || is_gu ? glide : k);
                return;
            }
            break;
        case 4:
            if (open_vowel) state = 5;
            else if (close_vowel) { state = 3; glide = k; }
            break;
        case 5:
            if (open_vowel) { stress(k); return; }
            if (close_vowel) { state = 8; glide = k; }
            break;
        case 8:
            if (consonant || (c == 'u' && is_gq(k - 1))) { stress(glide); return; }
            if (is_small_vowel(c)) {
                auto at = [&](int position) { return position < n ? word[size_t(position)] : '\0'; };
                char after = at(glide + 1);
                char next = at(glide + 2);
                bool keeps = is_any_of(after, "lmnrz") && after != '\0'
                    && ((after == 'n' && next == 'h') || (after == 'r' && next == 'r')
                        || (next != '\0' && is_rule_consonant(next) && next != 'h'));
                stress(keeps ? glide : k);
                return;
            }
            break;
        }
    }
}

void ExceptionTable::add(const std::string& word, const std::string& respelling)
{
    auto at = std::lower_bound(m_entries.begin(), m_entries.end(), word,
                               [](const auto& entry, const std::string& key) { return entry.first < key; });
    if (at != m_entries.end() && at->first == word)
        at->second = respelling;
    else
        m_entries.insert(at, { word, respelling });
}

std::vector<PreparedWord> prepare_words(std::string_view text)
{
    std::string prepared = prepare_text(text);
    std::vector<PreparedWord> words;
    size_t i = 0;
    while (true) {
        while (i < prepared.size() && prepared[i] == ' ')
            ++i;
        if (i >= prepared.size())
            break;
        PreparedWord word;
        if (is_ascii_letter(prepared[i])) {
            size_t start = i;
            while (i < prepared.size() && (is_ascii_letter(prepared[i]) || is_diacritic_mark(prepared[i]))) {
                char c = lower_ascii(prepared[i]);
                if (is_small_vowel(c))
                    ++word.vowel_count;
                if (i > start && is_diacritic_mark(c) && c != '"')
                    word.explicitly_accented = true;
                word.text += c;
                ++i;
            }
        } else {
            word.text = std::string(1, lower_ascii(prepared[i]));
            ++i;
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::string translate_word(const PreparedWord& word, const RuleSet& rules, const ExceptionTable& exceptions)
{
    std::string respelled = exceptions.respell(word.text);
    mark_stress(respelled, word.explicitly_accented, word.vowel_count);
    bool spelled = std::all_of(respelled.begin(), respelled.end(),
                               [](char c) { return is_rule_consonant(c) || is_punctuation(c); });
    if (!spelled)
        return rules.apply(respelled);
    std::string out;
    for (char c : respelled)
        out += std::string("[ /_") + c + "]";
    return out;
}

std::string translate_to_phonemes(std::string_view text, const RuleSet& rules, const ExceptionTable& exceptions)
{
    std::string out;
    for (const PreparedWord& word : prepare_words(text))
        out += translate_word(word, rules, exceptions);
    return out;
}

}
