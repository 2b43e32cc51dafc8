// SPDX-License-Identifier: GPL-3.0-or-later
// RecordingHost: a host for network tests that records the console and speech and replays keys.
#pragma once

#include "interpreter/host.h"

#include <deque>
#include <string>
#include <vector>

namespace net_tests {

class RecordingHost final : public interpreter::Host {
public:
    void write_text(std::string_view text) override { console += text; }
    void end_line() override { console += "\n"; }
    void speak_text(std::string_view text) override { spoken.emplace_back(text); }
    bool speech_busy() override { return false; }
    bool key_waiting() override
    {
        ++pumps;
        // A key becomes visible only after some pumps, so that it arrives
        // in the middle of a wait as a real key press would.
        return !keys.empty() && pumps >= key_after_pumps;
    }
    uint8_t read_key() override
    {
        if (keys.empty())
            return 13;
        uint8_t key = keys.front();
        keys.pop_front();
        return key;
    }
    void pause_ms(int milliseconds) override { paused_ms += milliseconds; }
    interpreter::TimeOfDay local_time() override { return {}; }
    uint32_t random_seed() override { return 1; }

    std::string console;
    std::vector<std::string> spoken;
    std::deque<uint8_t> keys;
    int key_after_pumps = 0;
    long pumps = 0;
    long paused_ms = 0;
};

}
