// SPDX-License-Identifier: GPL-3.0-or-later
// ListTable: the twenty named lists of texts that scripts keep.
#include "interpreter/list_table.h"

namespace interpreter {

NamedList* ListTable::find(std::string_view name)
{
    for (auto& slot : m_slots) {
        if (slot && slot->name == name)
            return &*slot;
    }
    return nullptr;
}

ListTable::CreateResult ListTable::create(std::string_view name)
{
    if (find(name))
        return CreateResult::AlreadyExists;
    for (auto& slot : m_slots) {
        if (!slot) {
            slot = NamedList { std::string(name), {} };
            return CreateResult::Created;
        }
    }
    return CreateResult::TableFull;
}

bool ListTable::remove(std::string_view name)
{
    for (auto& slot : m_slots) {
        if (slot && slot->name == name) {
            slot.reset();
            return true;
        }
    }
    return false;
}

void ListTable::clear()
{
    for (auto& slot : m_slots)
        slot.reset();
}

}
