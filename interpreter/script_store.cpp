// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptStore: the numbered script lines and the lookups that block scans repeat.
#include "interpreter/script_store.h"

#include "interpreter/text.h"

#include <algorithm>
#include <functional>

namespace interpreter {

ScriptStore::ScriptStore()
    : m_lines(max_script_lines + 1)
    , m_statements(max_script_lines + 1)
{
}

void ScriptStore::store_line(std::string_view text, int number)
{
    if (number < 1 || number > max_script_lines)
        return;
    m_lines[number].assign(text);
    std::string_view trimmed = trim(m_lines[number]);
    m_statements[number] = { static_cast<uint32_t>(trimmed.data() - m_lines[number].data()),
        static_cast<uint32_t>(trimmed.size()) };
    if (m_decoded.size() <= static_cast<size_t>(number))
        m_decoded.resize(number + 1);
    m_decoded[number] = {};
    m_line_count = number;
    m_lookups_stale = true;
    ++m_generation;
}

void ScriptStore::clear()
{
    m_line_count = 0;
    // Decoded lines point into the operations: both go together.
    std::fill(m_decoded.begin(), m_decoded.end(), DecodedLine {});
    m_operations.clear();
    m_lookups_stale = true;
    ++m_generation;
}

const char* ScriptStore::text_end_around(int number, const char* where) const
{
    auto inside = [where](const std::string& text) {
        return std::less_equal<const char*>()(text.data(), where)
            && std::less<const char*>()(where, text.data() + text.size());
    };
    if (number < 1 || number > max_script_lines)
        return nullptr;
    if (inside(m_lines[number]))
        return m_lines[number].data() + m_lines[number].size();
    if (!m_lookups_stale && number < static_cast<int>(m_normalised.size()) && m_normalised_known[number]
        && inside(m_normalised[number]))
        return m_normalised[number].data() + m_normalised[number].size();
    return nullptr;
}

void ScriptStore::refresh_lookups()
{
    if (!m_lookups_stale)
        return;
    m_lookups_stale = false;
    m_normalised_known.assign(m_line_count + 2, 0);
    m_normalised.resize(m_line_count + 2);
    m_labels.clear();
    m_labels_known = false;
    for (auto& table : m_memos)
        table.assign(m_line_count + 2, -1);
}

const std::string& ScriptStore::normalise_line(int number)
{
    refresh_lookups();
    if (!m_normalised_known[number]) {
        m_normalised[number] = normalise_block_line(m_lines[number]);
        m_normalised_known[number] = true;
    }
    return m_normalised[number];
}

std::optional<int> ScriptStore::find_label(std::string_view upper_name)
{
    // Labels are indexed once per store: a loop that jumps back thousands of
    // times would otherwise rescan and upper-case every line on every jump.
    refresh_lookups();
    if (!m_labels_known) {
        for (int number = 1; number <= m_line_count; ++number) {
            const std::string& text = m_lines[number];
            if (!text.empty() && text[0] == '@')
                m_labels.try_emplace(upper_text(std::string_view(text).substr(1)), number);
        }
        m_labels_known = true;
    }
    auto found = m_labels.find(std::string(upper_name));
    if (found == m_labels.end())
        return std::nullopt;
    return found->second;
}

void ScriptStore::remember(Memo table, int line, int answer)
{
    refresh_lookups();
    auto& memos = m_memos[static_cast<int>(table)];
    if (line >= 0 && line < static_cast<int>(memos.size()))
        memos[line] = answer;
}

}
