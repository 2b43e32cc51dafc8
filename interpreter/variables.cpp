// SPDX-License-Identifier: GPL-3.0-or-later
// Variables: the text slots of the script, by letter or by "$" name.
#include "interpreter/variables.h"

namespace interpreter {

Variables::Variables()
    : m_slots(slot_count)
{
}

std::optional<int> Variables::slot_of_name(std::string_view upper_name)
{
    // A linear search: there are at most a few hundred names, mostly short,
    // and the comparison stops at the first differing byte.
    for (size_t index = 0; index < m_names.size(); ++index) {
        if (m_names[index] == upper_name)
            return first_named_slot + static_cast<int>(index);
    }
    if (m_names.size() >= max_variable_names)
        return std::nullopt;
    m_names.emplace_back(upper_name);
    return first_named_slot + static_cast<int>(m_names.size() - 1);
}

void Variables::reset()
{
    for (auto& slot : m_slots)
        slot.clear();
    m_names.clear();
}

}
