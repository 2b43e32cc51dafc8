// SPDX-License-Identifier: GPL-3.0-or-later
// ExceptionTable: words the rules get wrong, with their pronunciation, found by halving.
#include "speech/exception_table.h"

#include <algorithm>

namespace speech {

void ExceptionTable::load(std::string_view file_text)
{
    m_entries.clear();
    size_t start = 0;
    while (start < file_text.size() && m_entries.size() < max_exceptions) {
        size_t end = file_text.find('\n', start);
        if (end == std::string_view::npos)
            end = file_text.size();
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
            entry.word = std::string(line) + "|";
        } else {
            entry.word = std::string(line.substr(0, equals));
            auto rest = line.substr(equals + 1);
            entry.pronunciation = std::string(rest.substr(0, rest.find('|')));
        }
        m_entries.push_back(std::move(entry));
    }
    // The shipped table is stored in order already; checking costs one pass,
    // sorting it again at every start costs twenty.
    auto by_word = [](const Entry& a, const Entry& b) { return a.word < b.word; };
    if (!std::is_sorted(m_entries.begin(), m_entries.end(), by_word))
        std::stable_sort(m_entries.begin(), m_entries.end(), by_word);
}

std::optional<std::string_view> ExceptionTable::find(std::string_view word) const
{
    auto found = std::lower_bound(m_entries.begin(), m_entries.end(), word,
        [](const Entry& entry, std::string_view key) { return std::string_view(entry.word) < key; });
    if (found == m_entries.end() || found->word != word)
        return std::nullopt;
    return std::string_view(found->pronunciation);
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
