// SPDX-License-Identifier: GPL-3.0-or-later
// LISTA: named lists of texts for scripts.
#include "interpreter/list_statements.h"

#include "interpreter/argument_readers.h"
#include "interpreter/messages.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"

namespace interpreter {

using namespace interpreter;

namespace {

bool create_list(Runtime& runtime, std::string_view name, std::string_view rest)
{
    if (!rest.empty())
        return false;
    switch (runtime.lists.create(name)) {
    case ListTable::CreateResult::Created:
        return true;
    case ListTable::CreateResult::AlreadyExists:
        write_message_line(runtime, "A lista especificada j\xE1 existe");
        return false;
    case ListTable::CreateResult::TableFull:
        write_message_line(runtime, "Muitas listas no programa (m\xE1ximo 20)");
        return false;
    }
    return false;
}

bool list_size(Runtime& runtime, NamedList& list, std::string_view rest)
{
    auto target = read_target(runtime, rest);
    if (!target)
        return false;
    runtime.variables.set(*target, format_number(static_cast<int64_t>(list.items.size())));
    return true;
}

bool list_item(Runtime& runtime, NamedList& list, std::string_view rest)
{
    auto position = read_number_value(runtime, rest);
    if (!position)
        return false;
    auto target = read_target(runtime, rest);
    if (!target || *position < 0 || static_cast<size_t>(*position) >= list.items.size())
        return false;
    runtime.variables.set(*target, list.items[static_cast<size_t>(*position)]);
    return true;
}

bool list_add(Runtime& runtime, NamedList& list, std::string_view rest)
{
    std::string value;
    if (!read_value(runtime, rest, value))
        return false;
    list.items.push_back(std::move(value));
    return true;
}

// Items are removed by value without regard to letter case, as the user's
// locale sees case in Windows-1252: every letter pairs with its capital,
// including the pairs outside 224..255, while the signs that upper_text
// folds together (the division and multiplication signs, y with diaeresis
// and sharp s) stay different.
char fold_letter_case(char c)
{
    auto byte = static_cast<uint8_t>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7))
        return static_cast<char>(byte - 32);
    switch (byte) {
    case 0x9A: return '\x8A'; // s with caron
    case 0x9C: return '\x8C'; // oe
    case 0x9E: return '\x8E'; // z with caron
    case 0xFF: return '\x9F'; // y with diaeresis
    default: return c;
    }
}

bool equal_ignoring_case(std::string_view left, std::string_view right)
{
    if (left.size() != right.size())
        return false;
    for (size_t i = 0; i < left.size(); ++i) {
        if (fold_letter_case(left[i]) != fold_letter_case(right[i]))
            return false;
    }
    return true;
}

bool list_delete(Runtime& runtime, NamedList& list, std::string_view rest)
{
    std::string value;
    if (!read_value(runtime, rest, value))
        return false;
    for (auto item = list.items.begin(); item != list.items.end(); ++item) {
        if (equal_ignoring_case(*item, value)) {
            list.items.erase(item);
            return true;
        }
    }
    return false;
}

bool run_list(Runtime& runtime, std::string_view rest)
{
    auto name = read_list_name(rest);
    if (!name)
        return false;
    rest = trim(rest);
    if (starts_with_upper(rest, "CRIA"))
        return create_list(runtime, *name, trim(rest.substr(4)));
    if (starts_with_upper(rest, "APAGA"))
        return trim(rest.substr(5)).empty() && runtime.lists.remove(*name);

    struct SubCommand {
        std::string_view word;
        bool (*run)(Runtime&, NamedList&, std::string_view);
    };
    constexpr SubCommand sub_commands[] = {
        { "TAMANHO", list_size }, { "ITEM", list_item }, { "ADICIONA", list_add }, { "DELETA", list_delete },
    };
    for (const auto& sub : sub_commands) {
        if (starts_with_upper(rest, sub.word)) {
            auto* list = runtime.lists.find(*name);
            if (!list)
                return false;
            return sub.run(runtime, *list, trim(rest.substr(sub.word.size())));
        }
    }
    return false;
}

}

void bind_list_statements(CommandTable& table)
{
    table.bind("LISTA", run_list);
}

}
