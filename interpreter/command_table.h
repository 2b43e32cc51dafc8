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
    // True when every byte of the keyword is a letter, so that the folded
    // form below matches exactly what the case rule matches.
    bool folds_exactly = true;
    // REPETE, ENQUANTO, SENAO, SENÃO and FIM: statements that only make sense
    // on a line of their own, refused in a one-line SE and in CMD.
    bool shapes_block = false;
};

// A keyword of at most 15 bytes, folded and zero-padded into two words so
// that it is hashed and compared without a loop. A longer keyword keeps only
// its length, which no entry has.
//
// Folding clears bit 5 of every byte. A byte folds to a letter of a keyword
// ("A".."Z" or 192..223) exactly when the case rule turns it into that
// letter, so for keywords of letters folding is the case rule, and a line's
// keyword is folded eight bytes at a time instead of upper-cased one by
// one. Keywords with digits are checked again by the rule after the lookup.
struct PackedKeyword {
    uint64_t words[2] = {};
    size_t length = 0;

    static constexpr uint64_t fold_mask = 0xDFDFDFDFDFDFDFDFull;
    // `keyword` as written or upper-cased.
    static PackedKeyword from(std::string_view keyword);
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

    const CommandEntry* find(std::string_view upper_keyword) const
    {
        const CommandEntry* entry = find(PackedKeyword::from(upper_keyword));
        return entry && entry->keyword == upper_keyword ? entry : nullptr;
    }
    const CommandEntry* find(const PackedKeyword& keyword) const
    {
        uint8_t index = m_slots[slot_of(keyword)];
        if (index == 0)
            return nullptr;
        const PackedKeyword& candidate = m_packed[index - 1];
        if (candidate.words[0] != keyword.words[0] || candidate.words[1] != keyword.words[1]
            || candidate.length != keyword.length)
            return nullptr;
        return &m_entries[index - 1];
    }
    const std::vector<CommandEntry>& entries() const { return m_entries; }

    static constexpr size_t max_keyword_length = 15;

private:
    // Every statement looks its keyword up, so the table is a perfect hash:
    // the constructor picks a multiplier under which no two keywords share a
    // slot, and a lookup costs one multiplication and one comparison.
    static constexpr int slot_bits = 12;
    size_t slot_of(const PackedKeyword& keyword) const
    {
        uint64_t mixed = (keyword.words[0] ^ (keyword.words[1] * 0x9E3779B97F4A7C15ull) ^ keyword.length) * m_multiplier;
        return static_cast<size_t>(mixed >> (64 - slot_bits));
    }

    std::vector<CommandEntry> m_entries;
    std::vector<PackedKeyword> m_packed;
    uint64_t m_multiplier = 0;
    std::vector<uint8_t> m_slots; // entry index + 1, or 0 for no keyword
};

// The handler every keyword has until its subsystem binds its own.
bool run_missing_command(Runtime& runtime, std::string_view rest);

}
