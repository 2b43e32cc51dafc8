// SPDX-License-Identifier: GPL-3.0-or-later
// Variables: the text slots of the script, by letter or by "$" name.
#pragma once

#include "interpreter/number.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace interpreter {

constexpr int first_letter_slot = 'A'; // slot 65
constexpr int first_named_slot = 91;
// The application script alone uses 109 distinct names; the slot numbering
// continues past 191 so that every one of them has room.
constexpr int max_variable_names = 127;
constexpr int slot_count = first_named_slot + max_variable_names;

class Variables {
public:
    Variables();

    const std::string& text(int slot) const { return m_slots[slot]; }
    // For changing a slot's text in place; forgets the number it was known
    // to hold.
    std::string& writable_text(int slot)
    {
        m_number_known[slot] = false;
        return m_slots[slot];
    }
    void set(int slot, std::string_view value)
    {
        m_slots[slot].assign(value);
        m_number_known[slot] = false;
    }

    // Counters and sums are read as numbers on every loop turn. A slot whose
    // text the arithmetic wrote knows the number, and the text is exactly
    // that number as format_number writes it, so reading the number back
    // from the text would give the same value: readers take it from here.
    bool known_number(int slot, int32_t& value) const
    {
        value = m_numbers[slot];
        return m_number_known[slot];
    }
    // The slot's text read as a number: the remembered number, or the text
    // converted by parse_number.
    std::optional<int32_t> number(int slot) const
    {
        if (m_number_known[slot])
            return m_numbers[slot];
        return parse_number(m_slots[slot]);
    }
    // Call only right after writing text(slot) as format_number(value).
    void remember_number(int slot, int32_t value)
    {
        m_numbers[slot] = value;
        m_number_known[slot] = true;
    }

    // The slot of an upper-case name, registering it on first use; nothing
    // when the name table is full.
    std::optional<int> slot_of_name(std::string_view upper_name);
    // The same for a name as written: it is upper-cased on the way.
    std::optional<int> slot_of_written_name(std::string_view name);
    // The same for an upper-case name whose hash the caller computed along
    // the way with name_hash_start and name_hash_step.
    std::optional<int> find_or_add(std::string_view upper_name, uint32_t hash);
    // The slot of an upper-case name some statement has used already; -1
    // when it has none. Never adds the name.
    int existing_slot(std::string_view upper_name) const;

    static constexpr uint32_t name_hash_start = 2166136261u;
    static constexpr uint32_t name_hash_step(uint32_t hash, char c)
    {
        return (hash ^ static_cast<uint8_t>(c)) * 16777619u;
    }
    size_t name_count() const { return m_names.size(); }

    // Empties every slot and the name table (the reset at program start).
    void reset();
    // Changes at every reset, after which a name may land in another slot.
    uint32_t generation() const { return m_generation; }

private:
    struct Bucket {
        uint32_t hash = 0;
        int16_t name = 0; // index + 1, or 0 when empty
    };

    // Fixed arrays inside the object: every read of a variable is then one
    // load from the runtime, not two through a vector's pointer.
    std::array<std::string, slot_count> m_slots;
    std::array<int32_t, slot_count> m_numbers {};
    std::array<uint8_t, slot_count> m_number_known {};
    std::vector<std::string> m_names;
    // Open addressing over the names: every variable reference of every
    // statement looks its name up, so this must not scan the whole table.
    static constexpr uint32_t bucket_count = 512;
    std::vector<Bucket> m_buckets;
    uint32_t m_generation = 1;
};

}
