// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the console: colours, reading keys and lines, tones, clipboard, pictures, ending.
#include "audio/tone_image.h"
#include "console/colour_table.h"
#include "console/console_terminal.h"
#include "console/typed_line.h"
#include "tests/console/console_fixture.h"

#include <gtest/gtest.h>

namespace {

using console_test::ConsoleFixture;
// The status the program ends with after `action`, or -1 when no end was
// asked for.
int ended_status(const console::EventLoop& loop, const std::function<void()>& action)
{
    action();
    return loop.end_requested() ? loop.end_status() : -1;
}

TEST(Console, StartsWithTheColoursOfTheSettings)
{
    console::ConsoleSettings settings;
    settings.background_colour = 1;
    settings.text_colour = 14;
    ConsoleFixture test("", settings);
    EXPECT_EQ(test.console.attribute(), 0x1E);
    test.console.write_chars("x");
    EXPECT_EQ(test.screen.attribute_at(0, 0), 0x1E);
    EXPECT_EQ(test.screen.attribute_at(79, 24), 0x1E);
}

TEST(Console, ColourSettersChangeTheirOwnFourBits)
{
    ConsoleFixture test;
    test.console.set_text_colour(4);
    EXPECT_EQ(test.console.attribute(), 0x04);
    test.console.set_background_colour(0x12); // only the low four bits count
    EXPECT_EQ(test.console.attribute(), 0x24);
    test.console.set_text_colour(31);
    EXPECT_EQ(test.console.attribute(), 0x2F);
}

TEST(Console, FixedColoursIgnoreTheSetters)
{
    console::ConsoleSettings settings;
    settings.fixed_colours = true;
    ConsoleFixture test("", settings);
    test.console.set_text_colour(4);
    test.console.set_background_colour(2);
    EXPECT_EQ(test.console.attribute(), 0x0F);
}

TEST(ColourTable, MapsColoursThroughThePalette)
{
    console::ColourTable table({ 4, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15 });
    EXPECT_EQ(table.colour(0), (platform::Rgb { 255, 0, 0 }));
    EXPECT_EQ(table.colour(1), (platform::Rgb { 0, 0, 255 }));
    EXPECT_EQ(table.colour(5), (platform::Rgb { 142, 0, 142 }));
    EXPECT_EQ(table.colour(6), (platform::Rgb { 68, 34, 34 }));
    EXPECT_EQ(table.colour(15), (platform::Rgb { 255, 255, 255 }));
    console::ColourTable odd({ 16, -1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15 });
    EXPECT_EQ(odd.colour(0), (platform::Rgb { 0, 0, 0 }));
    EXPECT_EQ(odd.colour(1), (platform::Rgb { 0, 0, 0 }));
    EXPECT_EQ(odd.colour(2), (platform::Rgb { 0, 255, 0 }));
}

TEST(Console, TheSinkGetsTheMappedColoursWhenTheWindowOpens)
{
    console::ConsoleSettings settings;
    settings.colour_map[0] = 4;
    ConsoleFixture test("", settings);
    test.console.clear_screen();
    EXPECT_EQ(test.screen.colours()[0], (platform::Rgb { 255, 0, 0 }));
    EXPECT_EQ(test.screen.colours()[1], (platform::Rgb { 0, 0, 255 }));
}

TEST(Console, ReadLineEditsEchoesAndSkipsKeysWithoutACharacter)
{
    ConsoleFixture test("ab{Backspace}c{Up}d{Enter}");
    console::ConsoleTerminal terminal(test.console);
    bool stop = false;
    EXPECT_EQ(console::read_typed_line(terminal, stop), "acd");
    EXPECT_EQ(test.screen.row_text(0).substr(0, 4), "acd ");
    EXPECT_EQ(test.console.where_y(), 2);
    EXPECT_EQ(test.console.where_x(), 1);
}

TEST(Console, ReadLineKeepsAtMostSizeMinusTwoCharacters)
{
    ConsoleFixture test("abcdefgh{Enter}");
    console::ConsoleTerminal terminal(test.console);
    bool stop = false;
    EXPECT_EQ(console::read_typed_line(terminal, stop, 6), "abcd");
}

// The keys running out (or the window closing) while a line is typed asks
// for the end; the run stops, and the line returns with what was typed
// instead of waiting for an Enter that cannot come.
TEST(Console, ATypedLineReturnsWhenTheProgramEnds)
{
    for (std::string_view keys : { "ab", "ab{Close}" }) {
        ConsoleFixture test(keys);
        bool stop = false;
        test.loop.set_end_listener([&] { stop = true; });
        console::ConsoleTerminal terminal(test.console);
        EXPECT_EQ(console::read_typed_line(terminal, stop), "ab") << keys;
        EXPECT_TRUE(stop) << keys;
        // Nothing is written once the end is asked for: no line end.
        EXPECT_EQ(test.console.where_y(), 1) << keys;
        EXPECT_EQ(test.screen.row_text(0).substr(0, 3), "ab ") << keys;
    }
}

TEST(Console, APollNeverTakesAScriptedKey)
{
    ConsoleFixture test("x");
    EXPECT_FALSE(test.console.key_pressed());
    test.loop.delay(1000);
    EXPECT_FALSE(test.console.key_pressed());
    EXPECT_EQ(test.console.read_key(), 'x');
}

TEST(Console, ATimedKeyArrivesWhileTheProgramIsBusy)
{
    ConsoleFixture test("{Wait 300}{Esc}");
    test.loop.delay(200);
    EXPECT_FALSE(test.console.key_pressed());
    test.loop.delay(200);
    EXPECT_TRUE(test.console.key_pressed());
    EXPECT_EQ(test.clock.monotonic_ms(), 400u);
    EXPECT_EQ(test.console.read_key(), 27);
}

TEST(Console, KeysRunningOutEndTheProgramWithStatusThree)
{
    ConsoleFixture test("a");
    EXPECT_EQ(test.console.read_key(), 'a');
    EXPECT_TRUE(test.console.keys_may_come() == false);
    EXPECT_EQ(ended_status(test.loop, [&] { test.console.read_key(); }), console::exit_keys_ran_out);
    // From then on a key seems to wait and reading one gives Esc at once,
    // so that every prompt returns; a key pushed meanwhile is not read.
    test.console.push_key('z');
    EXPECT_TRUE(test.console.key_pressed());
    EXPECT_EQ(test.console.read_key(), 27);
    EXPECT_EQ(test.console.read_key(), 27);
}

TEST(Console, ClosingTheWindowEndsTheProgramAndDropsTheKeys)
{
    ConsoleFixture test("{Close}");
    test.console.push_key('q');
    test.console.read_key();
    EXPECT_EQ(ended_status(test.loop, [&] { test.console.read_key(); }), console::exit_closed);
    EXPECT_TRUE(test.console.keys().empty());
}

TEST(Console, CtrlBreakEndsTheProgramUntilTheProgramEnd)
{
    ConsoleFixture test("{Ctrl+Break}");
    EXPECT_EQ(ended_status(test.loop, [&] { test.console.read_key(); }), console::exit_closed);

    ConsoleFixture ended("{Ctrl+Break}x");
    ended.console.write_chars("fim");
    ended.console.enter_program_end();
    EXPECT_EQ(ended.screen.title(), "Programa terminado");
    // After the end the window takes no input: the keys go nowhere.
    EXPECT_EQ(ended_status(ended.loop, [&] { ended.console.read_key(); }), console::exit_keys_ran_out);
}

// A script that never waits still looks at events now and then: what has
// arrived acts at once, and the look neither sleeps nor lets keys in early.
TEST(Console, ALookAtEventsEndsTheProgramOnCtrlBreakOrAClose)
{
    for (std::string_view keys : { "{Wait 0}{Ctrl+Break}", "{Wait 0}{Close}" }) {
        ConsoleFixture test(keys);
        EXPECT_EQ(ended_status(test.loop, [&] { test.loop.look_at_events(); }), console::exit_closed) << keys;
    }

    ConsoleFixture early("{Wait 300}{Ctrl+Break}x");
    early.loop.look_at_events();
    EXPECT_EQ(early.clock.monotonic_ms(), 0u);
    EXPECT_FALSE(early.console.key_pressed());
    early.clock.pass_ms(300);
    EXPECT_EQ(ended_status(early.loop, [&] { early.loop.look_at_events(); }), console::exit_closed);
}

TEST(Console, PushKeyDropsTheSixtyFifthByte)
{
    ConsoleFixture test;
    for (int index = 0; index < 65; ++index)
        test.console.push_key(static_cast<uint8_t>('A' + index % 26));
    EXPECT_EQ(test.console.keys().count(), 64);
    EXPECT_TRUE(test.console.key_pressed());
}

TEST(Console, TheCaretShowsOnlyWhileAKeyIsAwaited)
{
    ConsoleFixture test("{Wait 100}k");
    EXPECT_FALSE(test.screen.caret_visible());
    bool seen_during_wait = false;
    test.loop.set_posted_handler(platform::posted::first_user, [&](int64_t) { seen_during_wait = test.screen.caret_visible(); });
    platform::Event event;
    event.type = platform::Event::Type::Posted;
    event.posted_kind = platform::posted::first_user;
    test.events.post(event);
    test.console.read_key();
    EXPECT_FALSE(test.screen.caret_visible());
    EXPECT_FALSE(seen_during_wait) << "the post is handled before the wait begins";
}

TEST(Console, TitlesAreCutToThreeHundredCharacters)
{
    ConsoleFixture test;
    test.console.set_title(std::string(400, 't'));
    EXPECT_EQ(test.screen.title(), std::string(300, 't'));
}

TEST(Console, APlayedToneReplacesTheOneBefore)
{
    ConsoleFixture test;
    test.console.play_tone(440);
    ASSERT_TRUE(test.sound.tone_playing);
    EXPECT_EQ(test.sound.tone_image, audio::build_tone_image(440));
    test.console.play_tone(880);
    EXPECT_EQ(test.sound.tones_stopped, 1);
    EXPECT_EQ(test.sound.tones_started, 2);
    test.console.stop_tone();
    EXPECT_FALSE(test.sound.tone_playing);
    test.console.play_tone(0);
    EXPECT_FALSE(test.sound.tone_playing) << "a tone of 0 Hz cannot be built";
}

TEST(Console, BrailleModeTonesTakeTheirTime)
{
    ConsoleFixture test;
    test.console.set_braille_keyboard_mode(2);
    EXPECT_EQ(test.sound.tones_started, 2);
    EXPECT_EQ(test.sound.tone_image, audio::build_tone_image(400));
    EXPECT_FALSE(test.sound.tone_playing);
    EXPECT_EQ(test.clock.monotonic_ms(), 400u);
}

TEST(Console, TheSettingsBrailleModeIsAppliedWhenTheWindowOpens)
{
    console::ConsoleSettings settings;
    settings.braille_keyboard_mode = 1;
    ConsoleFixture test("{Chord F+D}", settings);
    EXPECT_EQ(test.sound.tones_started, 0);
    EXPECT_EQ(test.console.read_key(), 'b');
    EXPECT_EQ(test.sound.tones_started, 2);
}

TEST(Console, ClipboardTextIsConvertedAndCut)
{
    ConsoleFixture test;
    test.console.copy_to_clipboard("ma\xE7\xE3");
    EXPECT_EQ(test.clipboard.text(), "ma\xC3\xA7\xC3\xA3");
    EXPECT_EQ(test.console.paste_from_clipboard(100), "ma\xE7\xE3");
    EXPECT_EQ(test.console.paste_from_clipboard(3), "ma");
    EXPECT_EQ(test.console.paste_from_clipboard(0), "");
    platform::MemoryClipboard empty;
    ConsoleFixture nothing;
    EXPECT_EQ(nothing.console.paste_from_clipboard(10), "");
}

TEST(Console, ProgramEndStateOnlyWithAnOpenWindow)
{
    ConsoleFixture test;
    test.console.enter_program_end();
    EXPECT_EQ(test.screen.title(), "");
    test.console.write_chars("x");
    test.console.enter_program_end();
    EXPECT_EQ(test.screen.title(), "Programa terminado");
    EXPECT_FALSE(test.console.keyboard().break_checking());
}

}
