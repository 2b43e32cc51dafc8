// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of what the ports do together: whole keys from the byte queue, and keys read aloud.
#include "interpreter/ports.h"
#include "tests/support/recording_ports.h"

#include <gtest/gtest.h>

namespace {

using Cues = std::vector<std::string>;

TEST(Ports, AKeyWithoutACharacterIsReadWithItsCode)
{
    test_support::RecordingPorts ports;
    // Up arrow, "a", F1, Enter: the queue holds keys without a character as
    // a zero and their code.
    ports.keys = { 0, 72, 'a', 0, 59, 13 };
    struct Expected {
        uint8_t code;
        bool extended;
    };
    for (auto expected : { Expected { 72, true }, Expected { 'a', false }, Expected { 59, true }, Expected { 13, false } }) {
        auto key = ports.read_key_press();
        EXPECT_EQ(key.code, expected.code);
        EXPECT_EQ(key.extended, expected.extended);
    }
    EXPECT_TRUE(ports.keys.empty());
    EXPECT_EQ(ports.missed_keys, 0);
}

TEST(Ports, IsMatchesOnlyTheCharacterItself)
{
    EXPECT_TRUE((interpreter::KeyPress { 27, false }).is(27));
    // Alt+S arrives as the code 31 after a zero: no Ctrl+Underscore.
    EXPECT_FALSE((interpreter::KeyPress { 31, true }).is(31));
    EXPECT_FALSE((interpreter::KeyPress { 's', false }).is('S'));
}

TEST(Ports, AKeyReadAloudCutsTheSpeechOffFirst)
{
    test_support::RecordingPorts ports;
    ports.keys = { '7', 0, 60 };
    auto digit = interpreter::read_key_and_speak(ports, ports);
    EXPECT_TRUE(digit.is('7'));
    auto function_key = interpreter::read_key_and_speak(ports, ports);
    EXPECT_EQ(function_key.code, 60);
    EXPECT_TRUE(function_key.extended);
    // The key without a character is spoken as the zero that announces it;
    // its code is never spoken as a character of its own.
    EXPECT_EQ(ports.cues, (Cues { "stop", "char: 7", "stop", std::string("char: ") + '\0' }));
}

}
