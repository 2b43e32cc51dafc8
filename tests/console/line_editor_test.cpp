// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the line editor: keys from a table, and the field as it is drawn.
#include "console/console_terminal.h"
#include "console/edit_field.h"
#include "console/line_editor.h"
#include "interpreter/runtime.h"
#include "base/text_encoding.h"
#include "tests/console/console_fixture.h"
#include "tests/support/test_runtime.h"
#include "tests/support/table_lines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using console_test::ConsoleFixture;

// Speech and world ports that write down every cue; the keys come from a
// real console (so the key encoding and the held modifiers are the
// console's own).
class EditorPorts final : public interpreter::SpeechPort, public interpreter::WorldPort {
public:
    explicit EditorPorts(console::Console& console)
        : m_console(console)
    {
    }

    void speak_text(std::string_view text) override { cue("say:" + std::string(text)); }
    bool speech_busy() override { return false; }
    void wait_until_quiet() override { }
    void stop_speech() override { }
    void play_click() override { cue("click"); }
    void play_beep() override
    {
        cue("beep");
        m_console.discard_keys();
    }
    void speak_char(char character) override
    {
        auto byte = static_cast<uint8_t>(character);
        cue(byte < 32 ? "c:<" + std::to_string(byte) + ">" : std::string("c:") + character);
    }
    void spell_text(std::string_view text) override { cue("spell:" + std::string(text)); }
    void play_sound(std::string_view name) override { cue("snd:" + std::string(name)); }
    void speak_battery() override { cue("battery"); }
    void restart_speech(int speed_level) override { cue("restart:" + std::to_string(speed_level)); }
    void configure_synthesiser(const interpreter::SynthesiserChoice&) override { }
    void speak_time(int hours, int minutes) override { cue("time:" + std::to_string(hours) + ":" + std::to_string(minutes)); }
    void speak_date(int day, int month, int year) override
    {
        cue("date:" + std::to_string(day) + "/" + std::to_string(month) + "/" + std::to_string(year));
    }
    bool engine_active() override { return false; }
    bool echo_typed() override { return echo; }
    void set_echo_typed(bool on) override { echo = on; }
    bool open_document(std::string_view file, std::string_view parameter) override
    {
        cue("open:" + std::string(file) + "|" + std::string(parameter));
        return opens;
    }
    void pause_ms(int milliseconds) override { m_console.loop().delay(milliseconds); }
    interpreter::TimeOfDay local_time() override { return { 2026, 12, 8, 2, 14, 5, 30, 0 }; }
    uint32_t random_seed() override { return 1; }

    std::string cues;
    bool echo = true;
    bool opens = true;

private:
    void cue(const std::string& text) { cues += (cues.empty() ? "" : ", ") + text; }

    console::Console& m_console;
};

// A console with scripted keys, a runtime over it and the editor's ports.
struct EditorTest {
    explicit EditorTest(std::string_view keys)
        : console(keys)
        , terminal(console.console)
        , ports(console.console)
        , runtime({ terminal, ports, ports }, commands)
    {
        runtime.subsystems.console = &console.console;
        runtime.subsystems.settings = &settings.settings;
        // As in the programs, the end of the program stops the run.
        console.loop.set_end_listener([this] { runtime.stop_requested = true; });
    }

    // True when the scripted keys ran out before the editor ended.
    bool keys_ran_out() const { return console.loop.end_requested(); }

    ConsoleFixture console;
    console::ConsoleTerminal terminal;
    EditorPorts ports;
    test_support::ScratchSettings settings;
    interpreter::CommandTable commands;
    interpreter::Runtime runtime;
};

std::vector<std::string> split_tabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t'))
        fields.push_back(field == "-" ? "" : field);
    return fields;
}

TEST(LineEditor, KeysHaveTheEffectsOfTheTable)
{
    auto path = std::filesystem::path(CASE_TABLE_DIR) / "line_editor_cases.txt";
    auto lines = test_support::read_table_lines(path);
    ASSERT_FALSE(lines.empty()) << path;
    int cases = 0;
    for (const auto& [number, line] : lines) {
        auto fields = split_tabs(line);
        ASSERT_EQ(fields.size(), 7u) << line;
        const auto& [start, length, flags, keys, result, ending, cues]
            = std::tie(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6]);
        EditorTest test(keys);
        bool editable = flags.find("ro") == std::string::npos;
        test.ports.echo = flags.find("noecho") == std::string::npos;
        if (auto clip = flags.find("clip="); clip != std::string::npos)
            test.console.clipboard.set_text(flags.substr(clip + 5, flags.find(' ', clip) - clip - 5));
        std::string text = start;
        uint8_t key = console::edit_line(test.runtime, text, 1, 1, editable, 20, std::stoi(length));
        if (test.keys_ran_out()) {
            ADD_FAILURE() << "the keys ran out: " << line;
            continue;
        }
        EXPECT_EQ(text, result) << line;
        EXPECT_EQ(key, std::stoi(ending)) << line;
        EXPECT_EQ(test.ports.cues, cues) << line;
        ++cases;
    }
    EXPECT_GT(cases, 60);
}

// Ctrl+\ has no key of its own on this keyboard; its byte is pushed.
TEST(LineEditor, CtrlBackslashSpellsTheTextButNotThePadding)
{
    EditorTest test("{Enter}");
    test.console.console.push_key(28);
    std::string text = "a b";
    EXPECT_EQ(console::edit_line(test.runtime, text, 1, 1, true, 20, 200), 13);
    EXPECT_EQ(test.ports.cues, "c:a, c: , c:b");
}

// Ctrl+Alt+F9 reviews the screen (until Esc) and goes on editing; Ctrl+F9
// without Alt ends editing instead (in the table).
TEST(LineEditor, CtrlAltF9ReviewsTheScreenAndEditingGoesOn)
{
    EditorTest test("ab{Ctrl+Alt+F9}{Esc}c{Enter}");
    std::string text;
    EXPECT_EQ(console::edit_line(test.runtime, text, 1, 1, true, 20, 40), 13);
    EXPECT_EQ(text, "abc");
}

TEST(LineEditor, AFailedOpeningBeeps)
{
    EditorTest test("{F12}{Enter}");
    test.ports.opens = false;
    std::string text = "c:\\dados\\foto.jpg";
    console::edit_line(test.runtime, text, 1, 1, true, 20, 40);
    EXPECT_EQ(test.ports.cues, "open:c:\\dados\\foto.jpg|, beep");
}

TEST(LineEditor, CopyPutsTheWholeFieldWithALineEndOnTheClipboard)
{
    EditorTest test("{Ctrl+Ins}{Enter}");
    std::string text = "ol\xE1";
    console::edit_line(test.runtime, text, 1, 1, true, 20, 40);
    EXPECT_EQ(test.console.clipboard.text(), base::windows1252_to_utf8("ol\xE1\r\n"));
}

// The screen while editing is seen where the keys run out: the program
// ends inside the editor's wait for the next key.
TEST(LineEditor, ShowsTheCursorsPartOfALongFieldAndClearsTheRowAfterIt)
{
    EditorTest test("abcdefg");
    auto& screen = test.console.console.screen();
    test.console.console.goto_xy(1, 2);
    test.console.console.write_chars(std::string(80, '#'));
    std::string text;
    console::edit_line(test.runtime, text, 3, 2, true, 5, 20);
    EXPECT_TRUE(test.keys_ran_out());
    EXPECT_EQ(screen.row_text(1).substr(0, 10), "##defg    ");
    EXPECT_EQ(screen.row_text(1).substr(10), std::string(70, ' '));
    EXPECT_EQ(test.console.console.where_x(), 3 + 4);
    EXPECT_EQ(test.console.console.where_y(), 2);
}

TEST(LineEditor, EndsWithTheFieldFromItsStartAndTheCursorThere)
{
    EditorTest test("abcdefg  {Enter}");
    auto& screen = test.console.console.screen();
    std::string text;
    console::edit_line(test.runtime, text, 3, 2, true, 5, 20);
    EXPECT_EQ(text, "abcdefg");
    EXPECT_EQ(screen.row_text(1).substr(0, 8), "  abcde ");
    EXPECT_EQ(test.console.console.where_x(), 3);
    EXPECT_EQ(test.console.console.where_y(), 2);
}

TEST(LineEditor, ShowsControlBytesAsBlanksAndKeepsThem)
{
    EditorTest test("{End}x{Enter}");
    test.console.console.goto_xy(1, 3);
    std::string text = "a\tb\x07" "c";
    console::edit_line(test.runtime, text, 1, 3, true, 20, 20);
    EXPECT_EQ(text, "a\tb\x07" "cx");
    EXPECT_EQ(test.console.console.screen().row_text(2).substr(0, 6), "a b cx");
    EXPECT_EQ(test.console.console.where_x(), 1);
}

TEST(LineEditor, DrawsTheSelectionOnBackgroundEight)
{
    EditorTest test("{Right}{Shift+Right}{Shift+Right}");
    auto& console = test.console.console;
    console.set_attribute(0x1E);
    std::string text = "abcd";
    console::edit_line(test.runtime, text, 1, 1, true, 10, 10);
    EXPECT_TRUE(test.keys_ran_out());
    EXPECT_EQ(console.screen().attribute_at(0, 0), 0x1E);
    EXPECT_EQ(console.screen().attribute_at(1, 0), 0x8E);
    EXPECT_EQ(console.screen().attribute_at(2, 0), 0x8E);
    EXPECT_EQ(console.screen().attribute_at(3, 0), 0x1E);
    EXPECT_EQ(console.attribute(), 0x1E);
}

TEST(LineEditor, NeverWritesPastTheRowsEnd)
{
    EditorTest test("abcdefghij");
    auto& screen = test.console.console.screen();
    std::string text;
    console::edit_line(test.runtime, text, 76, 1, true, 40, 50);
    EXPECT_TRUE(test.keys_ran_out());
    EXPECT_EQ(screen.row_text(0).substr(75), "ghij ");
    EXPECT_EQ(screen.row_text(1), std::string(80, ' '));
}

TEST(LineEditor, ShowsTheFieldInTheMagnifier)
{
    EditorTest test("abc{Left}");
    auto& magnifier = test.console.console.magnifier();
    magnifier.configure({ 4, 14, 6, 3 });
    std::string text;
    console::edit_line(test.runtime, text, 1, 1, true, 10, 30);
    EXPECT_TRUE(test.keys_ran_out());
    ASSERT_TRUE(magnifier.shown());
    EXPECT_EQ(magnifier.line().substr(0, 4), "abc ");
    EXPECT_EQ(magnifier.line().size(), 30u);
    EXPECT_EQ(magnifier.cursor(), 2);
}

TEST(EditField, WordMovesStopAtRunsOfLettersDigitsAndOtherCharacters)
{
    console::EditField field("ab12 .. \xE7\xE3o", 20);
    EXPECT_EQ(field.next_word_start(0), 2);
    EXPECT_EQ(field.next_word_start(2), 5);
    EXPECT_EQ(field.next_word_start(5), 8);
    EXPECT_EQ(field.next_word_start(8), std::nullopt);
    EXPECT_EQ(field.previous_word_start(11), 8);
    EXPECT_EQ(field.previous_word_start(8), 5);
    EXPECT_EQ(field.previous_word_start(3), 2);
    EXPECT_EQ(field.previous_word_start(0), std::nullopt);
    EXPECT_EQ(field.text_end(), 11);
}

}
