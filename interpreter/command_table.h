// SPDX-License-Identifier: GPL-3.0-or-later
// CommandTable: the keywords of the language and the handler bound to each.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace interpreter {

struct Runtime;

// A handler reads its operands from the trimmed rest of the statement and
// returns success or failure; it has no other channel back to the run loop.
using Handler = bool (*)(Runtime&, std::string_view rest);

struct CommandEntry {
    std::string_view keyword; // upper-case, Windows-1252
    Handler handler;
    bool passes_rest = true; // false for the commands that ignore their operands
};

class CommandTable {
public:
    // Every keyword of the language starts bound to a handler that fails with
    // a message naming the command, so that a script using a command this
    // build lacks stops at that line instead of misbehaving.
    CommandTable();

    // Binds a handler to a keyword of the table; returns false for a keyword
    // the language does not have.
    bool bind(std::string_view keyword, Handler handler);

    const CommandEntry* find(std::string_view upper_keyword) const;
    const std::vector<CommandEntry>& entries() const { return m_entries; }

private:
    // Entries by their keyword's first byte and length, so that a lookup
    // compares one keyword, rarely two.
    static constexpr size_t max_keyword_length = 15;
    static size_t bucket_of(std::string_view keyword)
    {
        return static_cast<uint8_t>(keyword[0]) * (max_keyword_length + 1) + keyword.size();
    }

    std::vector<CommandEntry> m_entries;
    std::vector<std::vector<uint8_t>> m_buckets = std::vector<std::vector<uint8_t>>(256 * (max_keyword_length + 1));
};

// The handler every keyword has until its subsystem binds its own.
bool run_missing_command(Runtime& runtime, std::string_view rest);

}
