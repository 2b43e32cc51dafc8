// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleFixture: a console over headless backends and scripted keys, for tests.
#pragma once

#include "console/console.h"
#include "platform/headless/headless_screen.h"
#include "platform/headless/key_script.h"
#include "platform/headless/memory_clipboard.h"
#include "platform/headless/scripted_event_source.h"
#include "tests/support/recording_sound_output.h"

#include <memory>
#include <stdexcept>
#include <string_view>

namespace console_test {

inline std::vector<platform::ScriptedKey> parse_keys(std::string_view keys)
{
    auto parsed = platform::parse_key_script(keys);
    if (!parsed)
        throw std::runtime_error(parsed.error().message);
    return std::move(*parsed);
}

class ConsoleFixture {
public:
    explicit ConsoleFixture(std::string_view keys = "", console::ConsoleSettings settings = {})
        : events(clock, false, parse_keys(keys))
        , loop(events, clock)
        , console(loop, screen, clipboard, std::move(settings))
    {
        console.set_sound(&sound);
    }

    // Reads keys until the scripted ones run out; the bytes read.
    std::vector<int> read_all_keys()
    {
        std::vector<int> bytes;
        while (true) {
            uint8_t key = console.read_key();
            if (loop.end_requested())
                return bytes;
            bytes.push_back(key);
        }
    }

    platform::VirtualClock clock;
    platform::ScriptedEventSource events;
    platform::HeadlessScreen screen;
    platform::MemoryClipboard clipboard;
    test_support::RecordingSoundOutput sound;
    console::EventLoop loop;
    console::Console console;
};

}
