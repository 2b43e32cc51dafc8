// SPDX-License-Identifier: GPL-3.0-or-later
// The command table as both programs bind it: which keywords have a handler.
#include "app/script_host.h"
#include "interpreter/command_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The keywords that still answer "Comando não disponível nesta versão".
// The list may only shrink: binding one of them fails this test until it
// is taken off the list, and a new keyword has to come with its handler.
// Every keyword has one now; the empty list keeps new keywords honest.
constexpr std::array<std::string_view, 0> keywords_without_handler {};

bool is_listed(std::string_view keyword)
{
    return std::ranges::find(keywords_without_handler, keyword) != std::end(keywords_without_handler);
}

TEST(BindAllStatements, BindsEveryKeywordButTheListedOnes)
{
    interpreter::CommandTable table;
    app::bind_all_statements(table);
    ASSERT_FALSE(table.entries().empty());
    std::vector<std::string> unbound;
    std::vector<std::string> bound_but_listed;
    for (const auto& entry : table.entries()) {
        bool bound = entry.handler != &interpreter::run_missing_command;
        if (!bound && !is_listed(entry.keyword))
            unbound.emplace_back(entry.keyword);
        if (bound && is_listed(entry.keyword))
            bound_but_listed.emplace_back(entry.keyword);
    }
    EXPECT_TRUE(unbound.empty()) << "keywords without a handler: " << testing::PrintToString(unbound);
    EXPECT_TRUE(bound_but_listed.empty())
        << "keywords now bound, to take off the list: " << testing::PrintToString(bound_but_listed);
}

TEST(BindAllStatements, ListsOnlyKeywordsOfTheLanguage)
{
    // A misspelt entry would otherwise pass unnoticed, and stay forever.
    interpreter::CommandTable table;
    for (std::string_view keyword : keywords_without_handler)
        EXPECT_NE(table.find(keyword), nullptr) << keyword;
}

}
