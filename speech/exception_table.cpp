// SPDX-License-Identifier: GPL-3.0-or-later
// ExceptionTable: words the rules get wrong, with their pronunciation, found by halving.
#include "speech/exception_table.h"

#include <algorithm>

namespace speech {

void ExceptionTable::load(std::string_view file_text)
{
    m_entries.clear();
    m_text.assign(file_text);
    // Offsets are 32 bits: a file of 4 GB is not an exceptions file.
    if (file_text.size() > UINT32_MAX / 2)
        file_text = {};
    size_t start = 0;
    while (start < file_text.size() && m_entries.size() < max_exceptions) {
        size_t end = file_text.find('\n', start);
        if (end == std::string_view::npos)
            end = file_text.size();
        size_t line_begin = start;
        auto line = file_text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = line.substr(0, 255);
        if (line.empty())
            continue;
        Entry entry;
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            // A line without "=" is a word of its own with a "|" after it,
            // which no word looked up has: it is kept, and never found.
            entry.word_begin = static_cast<uint32_t>(m_text.size());
            entry.word_length = static_cast<uint32_t>(line.size() + 1);
            m_text.append(line);
            m_text += '|';
        } else {
            auto rest = line.substr(equals + 1);
            entry.word_begin = static_cast<uint32_t>(line_begin);
            entry.word_length = static_cast<uint32_t>(equals);
            entry.pronunciation_begin = static_cast<uint32_t>(line_begin + equals + 1);
            entry.pronunciation_length = static_cast<uint32_t>(std::min(rest.find('|'), rest.size()));
        }
        m_entries.push_back(entry);
    }
    // The shipped table is stored in order already; checking costs one pass,
    // sorting it again at every start costs twenty.
    auto by_word = [this](const Entry& a, const Entry& b) { return word(a) < word(b); };
    if (!std::is_sorted(m_entries.begin(), m_entries.end(), by_word))
        std::stable_sort(m_entries.begin(), m_entries.end(), by_word);
}

std::optional<std::string_view> ExceptionTable::find(std::string_view key) const
{
    auto found = std::lower_bound(m_entries.begin(), m_entries.end(), key,
        [this](const Entry& entry, std::string_view wanted) { return word(entry) < wanted; });
    if (found == m_entries.end() || word(*found) != key)
        return std::nullopt;
    return pronunciation(*found);
}

std::string ExceptionTable::pronounce(std::string_view word) const
{
    std::string_view stem = word;
    while (!stem.empty()) {
        if (auto found = find(stem))
            return std::string(*found) + std::string(word.substr(stem.size()));
        if (stem.back() != 's' && stem.back() != 'm')
            break;
        stem.remove_suffix(1);
    }
    return std::string(word);
}

}
