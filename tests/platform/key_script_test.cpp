// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the --keys notation parser, from a table of cases.
#include "platform/headless/key_script.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

using platform::Event;
using platform::Key;

std::string key_name(Key key)
{
    static constexpr const char* named[] = { "None", "Enter", "Esc", "Tab", "Backspace", "Space", "Up", "Down",
        "Left", "Right", "Home", "End", "PgUp", "PgDn", "Ins", "Del", "Break" };
    int value = static_cast<int>(key);
    if (key <= Key::Break)
        return named[value];
    if (key >= Key::F1 && key <= Key::F12)
        return "F" + std::to_string(value - static_cast<int>(Key::F1) + 1);
    if (platform::is_letter_key(key))
        return std::string(1, static_cast<char>('A' + value - static_cast<int>(Key::A)));
    if (platform::is_digit_key(key))
        return std::string(1, static_cast<char>('0' + value - static_cast<int>(Key::Digit0)));
    return "Other";
}

std::string modifier_suffix(uint8_t modifiers)
{
    std::string suffix;
    if (modifiers & platform::modifier::shift)
        suffix += 's';
    if (modifiers & platform::modifier::ctrl)
        suffix += 'c';
    if (modifiers & platform::modifier::alt)
        suffix += 'a';
    return suffix.empty() ? suffix : "+" + suffix;
}

std::string describe(const Event& event)
{
    switch (event.type) {
    case Event::Type::KeyPress:
        return "P:" + key_name(event.key) + modifier_suffix(event.modifiers);
    case Event::Type::KeyRelease:
        return "R:" + key_name(event.key) + modifier_suffix(event.modifiers);
    case Event::Type::Character:
        if (event.character > 32 && event.character < 127)
            return "C:" + std::string(1, static_cast<char>(event.character));
        return "C:" + std::to_string(event.character);
    case Event::Type::MouseButtonPress: {
        static constexpr const char* buttons[] = { "Left", "Right", "Middle" };
        return std::string("M:") + buttons[static_cast<int>(event.button)];
    }
    case Event::Type::MouseWheel:
        return std::string("W:") + (event.wheel > 0 ? "+" : "") + std::to_string(event.wheel);
    case Event::Type::CloseRequested:
        return "X";
    default:
        return "?";
    }
}

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
    std::ifstream table(path);
    ASSERT_TRUE(table) << path;
    std::string line;
    int cases = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#')
            continue;
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
