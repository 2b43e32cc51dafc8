// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the terminal key decoder, from a table of byte sequences.
#include "platform/posix/terminal_key_decoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
    case Event::Type::FocusGained:
        return "F+";
    case Event::Type::FocusLost:
        return "F-";
    default:
        return "?";
    }
}

// "\e", "\r", "\n", "\t" and "\xNN" in the table stand for their bytes.
std::string unescape(const std::string& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            bytes += text[i];
            continue;
        }
        char code = text[++i];
        if (code == 'e')
            bytes += '\x1B';
        else if (code == 'r')
            bytes += '\r';
        else if (code == 'n')
            bytes += '\n';
        else if (code == 't')
            bytes += '\t';
        else if (code == 'x' && i + 2 < text.size()) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else
            bytes += code;
    }
    return bytes;
}

std::string decode(std::string input)
{
    bool timeout = false;
    constexpr std::string_view timeout_mark = "~timeout";
    if (input.size() >= timeout_mark.size() && input.ends_with(timeout_mark)) {
        timeout = true;
        input.erase(input.size() - timeout_mark.size());
    }
    platform::TerminalKeyDecoder decoder;
    std::vector<Event> events;
    size_t start = 0;
    while (true) {
        auto bar = input.find('|', start);
        decoder.feed(unescape(input.substr(start, bar == std::string::npos ? std::string::npos : bar - start)), events);
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    if (timeout) {
        decoder.flush(events);
        EXPECT_FALSE(decoder.has_pending()) << input;
    }
    std::string described;
    for (const auto& event : events)
        described += (described.empty() ? "" : " ") + describe(event);
    return described;
}

TEST(TerminalKeyDecoder, DecodesTheTableOfSequences)
{
    auto path = std::filesystem::path(__FILE__).parent_path() / "terminal_key_cases.txt";
    std::ifstream table(path);
    ASSERT_TRUE(table) << path;
    std::string line;
    int cases = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        EXPECT_EQ(decode(line.substr(0, tab)), line.substr(tab + 1)) << "input: " << line.substr(0, tab);
        ++cases;
    }
    EXPECT_GT(cases, 60);
}

TEST(TerminalKeyDecoder, KeepsAnIncompleteSequenceUntilItsRestArrives)
{
    platform::TerminalKeyDecoder decoder;
    std::vector<Event> events;
    decoder.feed("\x1B", events);
    EXPECT_TRUE(decoder.has_pending());
    EXPECT_TRUE(events.empty());
    decoder.feed("[2", events);
    EXPECT_TRUE(decoder.has_pending());
    decoder.feed(";5~", events);
    EXPECT_FALSE(decoder.has_pending());
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(describe(events[0]), "P:Ins+c");
}

TEST(TerminalKeyDecoder, TellsTheKittyReplyFromTheDeviceAttributes)
{
    platform::TerminalKeyDecoder plain;
    std::vector<Event> events;
    plain.feed("\x1B[?62;22c", events);
    EXPECT_TRUE(plain.saw_device_attributes());
    EXPECT_FALSE(plain.saw_kitty_reply());

    platform::TerminalKeyDecoder kitty;
    kitty.feed("\x1B[?0u\x1B[?62c", events);
    EXPECT_TRUE(kitty.saw_kitty_reply());
    EXPECT_TRUE(kitty.saw_device_attributes());
    EXPECT_TRUE(events.empty());
}

TEST(TerminalKeyDecoder, RemembersTheModifiersOfTheLastKey)
{
    platform::TerminalKeyDecoder decoder;
    std::vector<Event> events;
    decoder.feed("\x1B[1;6A", events);
    EXPECT_EQ(decoder.modifiers(), platform::modifier::ctrl | platform::modifier::shift);
    decoder.feed("x", events);
    EXPECT_EQ(decoder.modifiers(), 0);
}

TEST(TerminalKeyDecoder, DropsAnOverlongSequence)
{
    platform::TerminalKeyDecoder decoder;
    std::vector<Event> events;
    decoder.feed("\x1B[" + std::string(200, '1'), events);
    decoder.feed("q", events);
    EXPECT_FALSE(decoder.has_pending());
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(describe(events.back()), "C:q");
}

}
