// SPDX-License-Identifier: GPL-3.0-or-later
// The console's backends: why a run is headless when nobody asked for it.
#include "app/console_backends.h"

#include <gtest/gtest.h>

namespace {

TEST(ConsoleBackends, SaysWhyARunIsHeadlessOnlyWhenNobodyAskedForIt)
{
    app::Options plain;
    app::Options asked;
    asked.headless = true;
    app::Options keys;
    keys.keys = "{Enter}";
    app::Options window;
    window.window = true;
    struct Case {
        const app::Options& options;
        bool input_terminal;
        bool output_terminal;
        const char* reason; // a part of the reason, or null for none
    };
    const Case cases[] = {
        { plain, true, true, nullptr },
        { plain, true, false, "standard output is not a terminal" },
        { plain, false, true, "standard input is not a terminal" },
        { plain, false, false, "standard input and output are not terminals" },
        { asked, true, false, nullptr },
        { keys, false, false, nullptr },
        { window, false, false, nullptr },
    };
    for (const auto& c : cases) {
        auto reason = app::headless_reason(c.options, c.input_terminal, c.output_terminal);
        if (!c.reason) {
            EXPECT_EQ(reason, "") << c.input_terminal << c.output_terminal;
            continue;
        }
        EXPECT_NE(reason.find("headless"), std::string::npos) << reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
}

}
