// SPDX-License-Identifier: GPL-3.0-or-later
// ListTable: the twenty named lists of texts that scripts keep.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace interpreter {

constexpr int max_lists = 20;

struct NamedList {
    std::string name;
    std::vector<std::string> items;
};

class ListTable {
public:
    // Names are compared exactly: "Nomes" and "NOMES" are different lists.
    NamedList* find(std::string_view name);

    enum class CreateResult { Created, AlreadyExists, TableFull };
    CreateResult create(std::string_view name);
    bool remove(std::string_view name);
    void clear();

private:
    std::array<std::optional<NamedList>, max_lists> m_slots;
};

}
