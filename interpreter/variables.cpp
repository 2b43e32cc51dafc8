// SPDX-License-Identifier: GPL-3.0-or-later
// Variables: the text slots of the script, by letter or by "$" name.
#include "interpreter/variables.h"

#include "interpreter/text.h"

namespace interpreter {

Variables::Variables()
    : m_buckets(bucket_count)
{
}

std::optional<int> Variables::slot_of_name(std::string_view upper_name)
{
    uint32_t hash = name_hash_start;
    for (char c : upper_name)
        hash = name_hash_step(hash, c);
    return find_or_add(upper_name, hash);
}

std::optional<int> Variables::slot_of_written_name(std::string_view name)
{
    char buffer[64];
    if (name.size() > sizeof buffer)
        return slot_of_name(upper_text(name));
    uint32_t hash = name_hash_start;
    for (size_t i = 0; i < name.size(); ++i) {
        buffer[i] = upper_byte(name[i]);
        hash = name_hash_step(hash, buffer[i]);
    }
    return find_or_add(std::string_view(buffer, name.size()), hash);
}

std::optional<int> Variables::find_or_add(std::string_view upper_name, uint32_t hash)
{
    for (uint32_t probe = hash;; ++probe) {
        Bucket& bucket = m_buckets[probe & (bucket_count - 1)];
        if (bucket.name == 0) {
            if (m_names.size() >= max_variable_names)
                return std::nullopt;
            m_names.emplace_back(upper_name);
            bucket.hash = hash;
            bucket.name = static_cast<int16_t>(m_names.size());
            return first_named_slot + bucket.name - 1;
        }
        if (bucket.hash == hash && m_names[bucket.name - 1] == upper_name)
            return first_named_slot + bucket.name - 1;
    }
}

int Variables::existing_slot(std::string_view upper_name) const
{
    uint32_t hash = name_hash_start;
    for (char c : upper_name)
        hash = name_hash_step(hash, c);
    for (uint32_t probe = hash;; ++probe) {
        const Bucket& bucket = m_buckets[probe & (bucket_count - 1)];
        if (bucket.name == 0)
            return -1;
        if (bucket.hash == hash && m_names[bucket.name - 1] == upper_name)
            return first_named_slot + bucket.name - 1;
    }
}

void Variables::reset()
{
    for (auto& slot : m_slots)
        slot.clear();
    m_number_known.fill(0);
    m_names.clear();
    m_buckets.assign(bucket_count, Bucket {});
    ++m_generation;
}

}
