// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the terminal key decoder, from a table of byte sequences.
#include "platform/posix/terminal_key_decoder.h"
#include "tests/support/key_events.h"
#include "tests/support/table_lines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using platform::Event;
using platform::Key;
using test_support::describe;

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
    auto lines = test_support::read_table_lines(path);
    ASSERT_FALSE(lines.empty()) << path;
    int cases = 0;
    for (const auto& [number, line] : lines) {
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
