// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptStore: the numbered script lines and the lookups that block scans repeat.
#pragma once

#include "interpreter/decoded_operations.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace interpreter {

struct CommandEntry;

constexpr int max_script_lines = 5000;

// A stored line as the run loop runs it: split into keyword and rest and its
// keyword looked up once, the first time it runs, instead of on every turn
// of a loop. Offsets count from the start of the trimmed line.
struct DecodedLine {
    enum class Kind : uint8_t { NotDecoded, Nothing, Statement };
    // The table's entry, null when the language has no such keyword.
    const CommandEntry* command = nullptr;
    uint32_t keyword_length = 0;
    uint32_t rest_begin = 0;
    uint32_t rest_length = 0;
    // The label line that DESVIA or CHAMA with a written "@" label leads to,
    // once found, and the store's generation then: storing any line (the
    // label's among them) makes it stale.
    int32_t jump_target = 0;
    uint32_t jump_generation = 0;
    // The line's shortcut in the store's operations, or -1 when it has none.
    int32_t operation = -1;
    Kind kind = Kind::NotDecoded; // Nothing: empty, comment or label
};

class ScriptStore {
public:
    ScriptStore();

    // Stores `text` as line `number` (1..5000) and makes it the last line.
    void store_line(std::string_view text, int number);
    void clear();

    int line_count() const { return m_line_count; }
    const std::string& line(int number) const { return m_lines[number]; }
    // Line `number` without the blanks around it, as the run loop executes
    // it: worked out when the line is stored, since indented loop bodies
    // would otherwise be trimmed again on every turn.
    std::string_view statement(int number) const
    {
        const Span& span = m_statements[number];
        return std::string_view(m_lines[number].data() + span.begin, span.length);
    }

    // Line `number`'s decoded form; NotDecoded until the run loop fills it in.
    // Storing the line again empties it.
    DecodedLine& decoded(int number) { return m_decoded[number]; }
    // Keeps a decoded line's shortcut; its index for DecodedLine::operation.
    int32_t add_operation(const DecodedOperation& operation)
    {
        m_operations.push_back(operation);
        return static_cast<int32_t>(m_operations.size() - 1);
    }
    DecodedOperation& operation(int index) { return m_operations[index]; }
    // Line `number`'s decoded form when `rest` is the very rest it decoded
    // (not a statement nested in it, nor text built at run time); null
    // otherwise.
    DecodedLine* decoded_for_rest(int number, std::string_view rest)
    {
        if (number < 1 || number > m_line_count)
            return nullptr;
        DecodedLine& line = m_decoded[number];
        const Span& span = m_statements[number];
        if (line.kind != DecodedLine::Kind::Statement || rest.size() != line.rest_length
            || rest.data() != m_lines[number].data() + span.begin + line.rest_begin)
            return nullptr;
        return &line;
    }

    // The line trimmed, upper-cased and with runs of spaces reduced to one.
    // Loops ask for their head line on every turn, so the known answer is
    // returned inline.
    const std::string& normalised_line(int number)
    {
        if (!m_lookups_stale && m_normalised_known[number])
            return m_normalised[number];
        return normalise_line(number);
    }

    // The first line, from 1, whose label (everything after a leading "@",
    // upper-cased) equals `upper_name`.
    std::optional<int> find_label(std::string_view upper_name);

    // Memo tables for the scans of the control-flow statements. The store is
    // never changed while a run is going on, so an answer found once holds
    // until the next store_line() or clear(). -1 means "not yet known".
    enum class Memo { SkipToEndIf, SkipToEndWhile, SkipToEndRepeat, WhileHead, RepeatHead, FalseBlock, Count };
    int memo(Memo table, int line)
    {
        if (m_lookups_stale)
            refresh_lookups();
        const auto& memos = m_memos[static_cast<int>(table)];
        if (line < 0 || line >= static_cast<int>(memos.size()))
            return -1;
        return memos[line];
    }
    void remember(Memo table, int line, int answer);

    // What a reader found at one place of the stored text: readers that run
    // over the same statement a million times in a loop look it up here
    // instead of working it out again. An entry is only made for a place
    // inside line `number`'s text (as stored or normalised), whose bytes stay
    // put until the store changes; `generation` (see below) tells a stale
    // entry from a live one.
    struct PlaceMemo {
        const char* where = nullptr;
        uint64_t generation = 0;
        int32_t value = 0;
        uint16_t length = 0;
        uint8_t kind = 0;
    };
    // The two entries where `where` may be remembered: two ways, so that two
    // places of one loop that hash alike do not push each other out on
    // every turn. A new entry goes first and moves the older one second.
    PlaceMemo* place_memos(const char* where)
    {
        auto key = reinterpret_cast<uintptr_t>(where);
        return &m_place_memos[(((key * 0x9E3779B97F4A7C15ull) >> 54) & (place_memo_sets - 1)) * 2];
    }
    void remember_place(const PlaceMemo& entry)
    {
        PlaceMemo* set = place_memos(entry.where);
        set[1] = set[0];
        set[0] = entry;
    }
    // Changes whenever a stored line may have changed or moved.
    uint32_t generation() const { return m_generation; }
    // The end of line `number`'s stored or normalised text when `where` lies
    // inside it; null otherwise.
    const char* text_end_around(int number, const char* where) const;

private:
    void refresh_lookups();
    const std::string& normalise_line(int number);

    struct Span {
        uint32_t begin = 0;
        uint32_t length = 0;
    };

    std::vector<std::string> m_lines;
    std::vector<Span> m_statements;
    // Grows with the lines stored, so that a short script does not pay
    // for the 5000 lines it does not have.
    std::vector<DecodedLine> m_decoded;
    std::vector<DecodedOperation> m_operations;
    int m_line_count = 0;
    bool m_lookups_stale = true;
    std::vector<std::string> m_normalised;
    std::vector<uint8_t> m_normalised_known;
    std::unordered_map<std::string, int> m_labels;
    bool m_labels_known = false;
    std::vector<int> m_memos[static_cast<int>(Memo::Count)];
    uint32_t m_generation = 1;
    // A clash costs a second lookup, never a wrong answer.
    static constexpr size_t place_memo_sets = 1024;
    // Inside the object, so that a lookup needs no load of a vector's pointer.
    std::array<PlaceMemo, place_memo_sets * 2> m_place_memos {};
};

}
