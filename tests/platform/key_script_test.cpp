// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the --keys notation parser, from a table of cases.
#include "platform/headless/key_script.h"
#include "tests/support/key_events.h"
#include "tests/support/table_lines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

using test_support::describe;

std::string describe(const std::vector<platform::ScriptedKey>& keys)
{
    std::string text;
    for (const auto& key : keys) {
        if (!text.empty())
            text += " | ";
        if (key.timed)
            text += "T" + std::to_string(key.delay_ms) + ":";
        for (size_t index = 0; index < key.events.size(); ++index)
            text += (index ? " " : "") + describe(key.events[index]);
    }
    return text;
}

// The table is UTF-8, as a keys file would be; "\n" stands for a line end.
std::string unescape(std::string text)
{
    for (size_t at; (at = text.find("\\n")) != std::string::npos;)
        text.replace(at, 2, "\n");
    return text;
}

TEST(KeyScript, ParsesTheNotationOfTheTable)
{
    auto path = std::filesystem::path(__FILE__).parent_path() / "key_script_cases.txt";
    auto lines = test_support::read_table_lines(path);
    ASSERT_FALSE(lines.empty()) << path;
    int cases = 0;
    for (const auto& [number, line] : lines) {
        auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        auto notation = unescape(line.substr(0, tab));
        auto expected = line.substr(tab + 1);
        auto parsed = platform::parse_key_script(notation);
        if (expected == "error")
            EXPECT_FALSE(parsed) << "'" << notation << "' was accepted";
        else if (!parsed)
            ADD_FAILURE() << "'" << notation << "': " << parsed.error().message;
        else
            EXPECT_EQ(describe(*parsed), expected) << "'" << notation << "'";
        ++cases;
    }
    EXPECT_GT(cases, 40);
}

TEST(KeyScript, EmptyTextHasNoKeys)
{
    auto parsed = platform::parse_key_script("");
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->empty());
}

}
