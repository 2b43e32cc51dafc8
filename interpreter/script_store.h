// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptStore: the numbered script lines and the lookups that block scans repeat.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace interpreter {

constexpr int max_script_lines = 5000;

class ScriptStore {
public:
    ScriptStore();

    // Stores `text` as line `number` (1..5000) and makes it the last line.
    void store_line(std::string_view text, int number);
    void clear();

    int line_count() const { return m_line_count; }
    const std::string& line(int number) const { return m_lines[number]; }

    // The line trimmed, upper-cased and with runs of spaces reduced to one.
    const std::string& normalised_line(int number);

    // The first line, from 1, whose label (everything after a leading "@",
    // upper-cased) equals `upper_name`.
    std::optional<int> find_label(std::string_view upper_name);

    // Memo tables for the scans of the control-flow statements. The store is
    // never changed while a run is going on, so an answer found once holds
    // until the next store_line() or clear(). -1 means "not yet known".
    enum class Memo { SkipToEndIf, SkipToEndWhile, SkipToEndRepeat, WhileHead, RepeatHead, FalseBlock, Count };
    int memo(Memo table, int line);
    void remember(Memo table, int line, int answer);

private:
    void refresh_lookups();

    std::vector<std::string> m_lines;
    int m_line_count = 0;
    bool m_lookups_stale = true;
    std::vector<std::string> m_normalised;
    std::vector<bool> m_normalised_known;
    std::unordered_map<std::string, int> m_labels;
    bool m_labels_known = false;
    std::vector<int> m_memos[static_cast<int>(Memo::Count)];
};

}
