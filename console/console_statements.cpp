// SPDX-License-Identifier: GPL-3.0-or-later
// The console commands of scripts: ESCREVE, LE, TELA, COR, FUNDO, BIPA and TITULO.
#include "console/console_statements.h"

#include "console/console.h"
#include "files/file_statements.h"
#include "console/key_codes.h"
#include "console/line_editor.h"
#include "console/typed_line.h"
#include "interpreter/argument_readers.h"
#include "interpreter/captured_output.h"
#include "interpreter/messages.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"

#include <algorithm>

namespace console {

using namespace interpreter;

namespace {

// The longest texts LE's edited forms take.
constexpr int default_form_length = 255;
constexpr int edit_form_length = 1024;

// The editor's field runs from the cursor to the row's last column but one.
int edit_width(int column) { return std::max(1, screen_columns - 1 - column); }

bool run_write(Runtime& runtime, std::string_view rest)
{
    runtime.io_status = 0;
    bool line_end = !take_trailing_ampersand(rest);
    bool silent = false;
    if (!rest.empty() && rest[0] == '#')
        return files::write_to_channel(runtime, rest, line_end);
    if (starts_with_upper(rest, "MUDO")) {
        rest.remove_prefix(4);
        silent = true;
    }
    std::string text, value;
    while (read_value(runtime, rest, value))
        text += value;
    runtime.terminal.write_text(text);
    if (line_end)
        runtime.terminal.end_line();
    if (!silent && !text.empty())
        runtime.speech.speak_text(text);
    if (!rest.empty())
        return false;
    runtime.speech.wait_until_quiet();
    return true;
}

// The text LE "CONSOLE" gives: what the captured child process has written
// to its output and error pipes; the process commands hold the child.
std::string take_captured_console_output(Runtime& runtime)
{
    auto* captured = runtime.subsystems.captured_output;
    return captured ? captured->read_captured_output() : std::string();
}

enum class ReadForm {
    Default,
    Edit,
    Silent,
    Invisible,
};

// "1" or "0" for Shift, Ctrl and Alt, as they are held now.
std::string shift_state_prefix(Runtime& runtime)
{
    uint8_t held = runtime.subsystems.console->held_modifiers();
    std::string prefix;
    prefix += (held & platform::modifier::shift) ? '1' : '0';
    prefix += (held & platform::modifier::ctrl) ? '1' : '0';
    prefix += (held & platform::modifier::alt) ? '1' : '0';
    return prefix;
}

// One key as scripts see it: the character, "#" and the code of a control
// key, or "#0#" and the code of a key without a character.
std::string read_key_text(Runtime& runtime, bool silent, bool with_prefix)
{
    KeyPress key = silent ? runtime.terminal.read_key_press() : read_key_and_speak(runtime.terminal, runtime.speech);
    if (!with_prefix)
        return key_text(key);
    // With the shift state in front, printable keys are given by code too.
    std::string text = shift_state_prefix(runtime);
    text += key.extended ? "#0#" + format_number(key.code) : "#" + format_number(key.code);
    return text;
}

// A line typed by the user, echoed and not spoken.
std::string read_console_line(Runtime& runtime)
{
    return read_typed_line(runtime.terminal, runtime.stop_requested);
}

// Edits `text` at the cursor, to the end of the row less one column.
uint8_t edit_at_cursor(Runtime& runtime, std::string& text, int max_length)
{
    const auto& console = *runtime.subsystems.console;
    int column = console.where_x();
    int row = console.where_y();
    return edit_line(runtime, text, column, row, true, edit_width(column), max_length);
}

// The default form of LE: a new line typed in the editor. Esc leaves the
// field blank on the screen and gives an empty value.
std::string read_edited_line(Runtime& runtime)
{
    auto& console = *runtime.subsystems.console;
    int column = console.where_x();
    int row = console.where_y();
    std::string text;
    if (edit_at_cursor(runtime, text, default_form_length) == 27) {
        text.clear();
        int width = std::min(edit_width(column), screen_columns - column + 1);
        console.goto_xy(column, row);
        console.screen().write_chars(std::string(static_cast<size_t>(width), ' '));
        console.goto_xy(column, row);
    }
    runtime.terminal.end_line();
    return text;
}

bool read_pointer_position(Runtime& runtime, std::string_view rest)
{
    bool screen_relative = false;
    if (starts_with_upper(rest, "TELA")) {
        rest = trim(rest.substr(4));
        screen_relative = true;
    }
    platform::PointerPosition position = runtime.subsystems.console->pointer_position(screen_relative);
    auto x_slot = read_target(runtime, rest);
    if (!x_slot)
        return false;
    runtime.variables.set(*x_slot, format_number(position.x));
    rest = trim(rest);
    auto y_slot = read_target(runtime, rest);
    if (!y_slot)
        return false;
    runtime.variables.set(*y_slot, format_number(position.y));
    return trim(rest).empty();
}

bool run_read(Runtime& runtime, std::string_view rest)
{
    runtime.io_status = 0;
    rest = trim(rest);
    if (rest.empty()) {
        read_console_line(runtime);
        return true;
    }
    if (starts_with_upper(rest, "MOUSE ") || starts_with_upper(rest, "RATO "))
        return read_pointer_position(runtime, trim(rest.substr(5)));

    // "TECLA " may stand anywhere; it asks for one key with the shift state.
    std::string without_tecla;
    bool with_prefix = false;
    auto upper = upper_text(rest);
    if (auto at = upper.find("TECLA "); at != std::string::npos) {
        std::string joined = std::string(rest.substr(0, at)) + std::string(rest.substr(at + 6));
        without_tecla = std::string(trim(joined));
        if (without_tecla.empty() || without_tecla.back() != '&')
            without_tecla += '&';
        rest = without_tecla;
        with_prefix = true;
    }

    bool single_key = take_trailing_ampersand(rest);
    if (single_key && rest.empty()) {
        // The code of a key without a character goes with it, or the next
        // reader would take it for a key of its own.
        runtime.terminal.read_key_press();
        return true;
    }
    if (!rest.empty() && rest[0] == '#')
        return files::read_from_channel(runtime, rest);

    ReadForm form = ReadForm::Default;
    if (starts_with_upper(rest, "EDITA")) {
        form = ReadForm::Edit;
        rest.remove_prefix(5);
    } else if (starts_with_upper(rest, "CONSOLE ")) {
        rest = trim(rest.substr(8));
        auto slot = read_target(runtime, rest);
        if (!slot)
            return false;
        runtime.variables.set(*slot, take_captured_console_output(runtime));
        return true;
    } else if (starts_with_upper(rest, "MUDO")) {
        form = ReadForm::Silent;
        rest.remove_prefix(4);
    } else if (starts_with_upper(rest, "SENHA")) {
        form = ReadForm::Invisible;
        rest.remove_prefix(5);
    }
    rest = trim(rest);
    auto slot = read_target(runtime, rest);
    if (!slot)
        return false;

    std::string text;
    if (single_key) {
        bool silent = form == ReadForm::Silent || form == ReadForm::Invisible;
        text = read_key_text(runtime, silent, with_prefix);
    } else if (form == ReadForm::Invisible) {
        // Black on black while the line is typed, so it does not show.
        auto& console = *runtime.subsystems.console;
        uint8_t attribute = console.attribute();
        console.set_attribute(0);
        text = read_console_line(runtime);
        console.set_attribute(attribute);
    } else if (form == ReadForm::Silent) {
        text = read_console_line(runtime);
    } else if (form == ReadForm::Edit) {
        text = runtime.variables.text(*slot);
        if (edit_at_cursor(runtime, text, edit_form_length) == 27)
            text.clear();
    } else {
        text = read_edited_line(runtime);
    }
    runtime.variables.set(*slot, text);
    return true;
}

bool run_screen(Runtime& runtime, std::string_view rest)
{
    auto* console = runtime.subsystems.console;
    std::string operand = upper_text(trim(rest));
    if (operand.size() == 1 && operand[0] >= 'A' && operand[0] <= 'Z')
        operand = runtime.variables.text(static_cast<uint8_t>(operand[0]));
    if (operand == "LIMPA") {
        console->clear_screen();
        return true;
    }
    if (operand == "MINIMIZADA") {
        console->set_window_state(platform::WindowState::Minimised);
        return true;
    }
    if (operand == "NORMAL") {
        console->set_window_state(platform::WindowState::Normal);
        return true;
    }
    if (operand.empty() || operand[0] != '@')
        return false;
    std::string_view place = std::string_view(operand).substr(1);
    auto comma = place.find(',');
    if (comma == std::string_view::npos)
        return false;
    auto column = parse_number(trim(place.substr(0, comma)));
    auto row = parse_number(trim(place.substr(comma + 1)));
    if (!column || !row)
        return false;
    console->goto_xy(*column, *row);
    return true;
}

bool set_colour(Runtime& runtime, std::string_view rest, bool background)
{
    if (trim(rest).empty())
        return false;
    auto number = read_number_value(runtime, rest);
    if (!number)
        return false;
    auto& console = *runtime.subsystems.console;
    if (background)
        console.set_background_colour(*number & 15);
    else
        console.set_text_colour(*number & 15);
    return true;
}

bool run_colour(Runtime& runtime, std::string_view rest) { return set_colour(runtime, rest, false); }
bool run_background(Runtime& runtime, std::string_view rest) { return set_colour(runtime, rest, true); }

bool run_beep(Runtime& runtime, std::string_view rest)
{
    rest = trim(rest);
    if (rest.empty()) {
        runtime.speech.play_beep();
        return true;
    }
    std::string value;
    if (!read_value(runtime, rest, value))
        return false;
    if (value == "1")
        runtime.speech.play_click();
    else
        runtime.speech.play_beep();
    return true;
}

bool run_title(Runtime& runtime, std::string_view rest)
{
    rest = trim(rest);
    if (rest.empty())
        return false;
    std::string value;
    if (!read_value(runtime, rest, value))
        value.clear();
    runtime.subsystems.console->set_title(value);
    return true;
}

}

void bind_console_statements(CommandTable& table)
{
    table.bind("ESCREVE", run_write);
    table.bind("LE", run_read);
    table.bind("L\xCA", run_read);
    table.bind("TELA", run_screen);
    table.bind("COR", run_colour);
    table.bind("FUNDO", run_background);
    table.bind("BIPA", run_beep);
    table.bind("TITULO", run_title);
    table.bind("T\xCD" "TULO", run_title);
}

}
