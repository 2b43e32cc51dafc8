// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the start-up both programs share.
#include "app/startup.h"
#include "platform/path_map.h"
#include "app/speech_backends.h"
#include "settings/settings.h"
#include "tests/console/console_fixture.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

namespace {

// The console, the headless speech output and a settings file of the
// test's own, as the programs put them together.
class ProgramStart : public ::testing::Test {
protected:
    void start(std::string_view ini)
    {
        test_support::ScratchFolder::write(folder / "Lumera.ini", ini);
        settings = std::make_unique<settings::Settings>(
            paths, settings::SettingsPlaces { folder.path().string(), (folder / "Lumera.ini").string(), "" });
        auto made = app::SpeechBackends::create({ "null", true, true }, console.console, *settings, paths,
            console.clock, nullptr);
        ASSERT_TRUE(made.has_value());
        speech = std::move(*made);
        app::start_up(console.console, speech->client(), *settings, paths, "teste");
    }

    test_support::ScratchFolder folder;
    platform::PathMap paths { (folder / "c").string() };
    console_test::ConsoleFixture console;
    std::unique_ptr<settings::Settings> settings;
    std::unique_ptr<app::SpeechBackends> speech;
};

TEST_F(ProgramStart, TakesTheMagnifiersSettingsFromBaixavisao)
{
    start("[BAIXAVISAO]\r\nAMPLIACAO=4\r\nCORLETRA=15\r\nCORFUNDO=1\r\nCORCURSOR=12\r\n");
    const auto& magnifier = console.console.magnifier();
    EXPECT_TRUE(magnifier.enabled());
    EXPECT_EQ(magnifier.settings().scale, 4);
    EXPECT_EQ(magnifier.settings().text_colour, 15);
    EXPECT_EQ(magnifier.settings().background_colour, 1);
    EXPECT_EQ(magnifier.settings().cursor_colour, 12);
    EXPECT_EQ(magnifier.width(), 20);
}

TEST_F(ProgramStart, LeavesTheMagnifierOffWithoutAScale)
{
    start("[BAIXAVISAO]\r\nCORLETRA=15\r\n");
    EXPECT_FALSE(console.console.magnifier().enabled());
}

}
