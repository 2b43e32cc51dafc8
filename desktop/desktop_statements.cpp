// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop commands: DIGITA, ACIONA, CLICA, TRANSFERE, JANELA, CAPTURA and MSAA.
#include "desktop/desktop_statements.h"

#include "base/script_case.h"
#include "base/text_encoding.h"
#include "desktop/desktop_state.h"
#include "desktop/key_description.h"
#include "desktop/keyboard.h"
#include "desktop/window_match.h"
#include "interpreter/argument_readers.h"
#include "interpreter/command_table.h"
#include "interpreter/runtime.h"

#include <string>

namespace desktop {

using namespace interpreter;

namespace {

constexpr int typing_delay_ms = 100;
constexpr int combination_delay_ms = 100;
// The clipboard buffer holds 1024 bytes with the final zero.
constexpr size_t clipboard_buffer_size = 1024;
constexpr size_t max_captured_length = 254;
// The point of a relative click lies this far below the window's top edge.
constexpr int click_top_offset = 4;

// The only place where these commands reach into the runtime.
DesktopState* desktop_state(Runtime& runtime) { return runtime.subsystems.desktop; }

Keyboard keyboard_of(Runtime& runtime, DesktopState& state)
{
    return Keyboard(state.input(), [&runtime](int milliseconds) { runtime.world.pause_ms(milliseconds); });
}

bool take_word(std::string_view& rest, std::string_view word)
{
    if (rest.size() < word.size() || base::upper_text(rest.substr(0, word.size())) != word)
        return false;
    rest.remove_prefix(word.size());
    rest = trim(rest);
    return true;
}

// The text up to the first blank, upper-cased; `rest` keeps what follows.
std::string take_action_word(std::string_view& rest)
{
    auto blank = rest.find(' ');
    std::string word = base::upper_text(rest.substr(0, blank));
    rest = blank == std::string_view::npos ? std::string_view() : trim(rest.substr(blank));
    return word;
}

std::string clipboard_text(DesktopState& state, size_t buffer_size)
{
    auto text = state.clipboard().text();
    if (!text)
        return {};
    auto bytes = base::utf8_to_windows1252(*text);
    bytes = bytes.substr(0, bytes.find('\0'));
    if (bytes.size() > buffer_size - 1)
        bytes.resize(buffer_size - 1);
    return bytes;
}

bool run_type(Runtime& runtime, std::string_view rest)
{
    auto* state = desktop_state(runtime);
    bool without_enter = take_trailing_ampersand(rest);
    std::string value;
    if (!state || !read_value(runtime, rest, value) || !trim(rest).empty())
        return false;
    auto keyboard = keyboard_of(runtime, *state);
    keyboard.type_text(value, typing_delay_ms);
    if (!without_enter)
        keyboard.press_combination(enter_key, false, false, false, typing_delay_ms);
    state->input().end_typing();
    return true;
}

bool run_press(Runtime& runtime, std::string_view rest)
{
    auto* state = desktop_state(runtime);
    std::string value;
    if (!state || !read_value(runtime, rest, value) || value.empty() || !trim(rest).empty())
        return false;
    auto keyboard = keyboard_of(runtime, *state);
    if (value.size() == 1) {
        keyboard.press_character_key(static_cast<unsigned char>(value[0]));
        state->input().end_typing();
        return true;
    }
    auto key = parse_key_description(value);
    if (!key)
        return false;
    keyboard.press_combination(key->virtual_key, key->ctrl, key->shift, key->alt, combination_delay_ms);
    return true;
}

bool run_click(Runtime& runtime, std::string_view rest)
{
    auto* state = desktop_state(runtime);
    if (!state)
        return false;
    rest = trim(rest);
    bool double_click = take_word(rest, "DUPLO");
    bool move_only = !double_click && take_word(rest, "NULO");
    bool on_screen = take_word(rest, "TELA");
    auto x = read_number_value(runtime, rest);
    if (!x)
        return false;
    rest = trim(rest);
    if (!rest.empty() && rest.front() == ',')
        rest.remove_prefix(1);
    auto y = read_number_value(runtime, rest);
    if (!y)
        return false;
    auto& input = state->input();
    int64_t screen_x = *x;
    int64_t screen_y = *y;
    if (!on_screen) {
        // Without a window in front the point stays where it is, on the
        // screen: a click there is the nearest thing to what was meant.
        if (auto area = input.foreground_area()) {
            screen_x += area->left + input.frame_width();
            screen_y += area->top + click_top_offset;
        }
    }
    input.move_pointer(static_cast<int>(screen_x), static_cast<int>(screen_y));
    if (!move_only) {
        for (int time = 0; time < (double_click ? 2 : 1); ++time) {
            input.press_left_button(true);
            input.press_left_button(false);
        }
    }
    return trim(rest).empty();
}

bool run_transfer(Runtime& runtime, std::string_view rest)
{
    auto* state = desktop_state(runtime);
    if (!state)
        return false;
    rest = trim_front(rest);
    if (take_word(rest, "DE ")) {
        std::string value;
        if (!read_value(runtime, rest, value) || !trim(rest).empty())
            return false;
        // The clipboard buffer holds 1024 characters: a longer text is cut
        // there, as the line editor's copy is.
        value = value.substr(0, value.find('\0'));
        if (value.size() > clipboard_buffer_size)
            value.resize(clipboard_buffer_size);
        state->clipboard().set_text(base::windows1252_to_utf8(value));
        return true;
    }
    if (take_word(rest, "PARA ")) {
        auto target = read_target(runtime, rest);
        if (!target || !trim(rest).empty())
            return false;
        runtime.variables.set(*target, clipboard_text(*state, clipboard_buffer_size));
        return true;
    }
    return false;
}

bool run_window(Runtime& runtime, std::string_view rest)
{
    auto* state = desktop_state(runtime);
    rest = trim(rest);
    if (!state || rest.empty())
        return false;
    std::string word = take_action_word(rest);
    platform::WindowAction action;
    if (word == "FECHA")
        action = platform::WindowAction::close;
    else if (word == "NORMAL")
        action = platform::WindowAction::show_normal;
    else if (word == "MAXIMIZA")
        action = platform::WindowAction::maximise;
    else if (word == "MINIMIZA")
        action = platform::WindowAction::minimise;
    else
        return false;
    std::string title;
    if (!read_value(runtime, rest, title))
        return false;
    auto window = find_window(state->input().windows(), title);
    if (!window) {
        runtime.io_status = 1;
        return true;
    }
    state->input().apply_window_action(*window, action);
    runtime.io_status = 0;
    return true;
}

std::string cut_captured(std::string text)
{
    if (text.size() > max_captured_length)
        text.resize(max_captured_length);
    return text;
}

bool run_capture(Runtime& runtime, std::string_view rest)
{
    auto* state = desktop_state(runtime);
    rest = trim(rest);
    if (!state || rest.empty())
        return false;
    std::string word = take_action_word(rest);
    auto target = read_target(runtime, rest);
    if (!target)
        return false;
    auto& input = state->input();
    std::string text;
    if (word == "T\xCDTULO" || word == "TITULO" || word == "ATIVA") {
        text = cut_captured(base::utf8_to_windows1252(input.foreground_title()));
    } else if (word == "FOCO") {
        text = base::utf8_to_windows1252(input.focus_text());
    } else if (word == "CAMPO") {
        auto keyboard = keyboard_of(runtime, *state);
        keyboard.press_combination(36, false, false, false, combination_delay_ms);
        keyboard.press_combination(35, false, true, false, combination_delay_ms);
        keyboard.press_combination(45, true, false, false, combination_delay_ms);
        text = clipboard_text(*state, max_captured_length + 1);
    }
    runtime.variables.set(*target, text);
    return true;
}

// Reads an object into the state: a role code of 0 leaves everything but
// the area cleared, as an object without a role tells nothing more.
void read_object(AccessibleReading& reading, const platform::AccessibleObject& object)
{
    reading.name.clear();
    reading.role_text.clear();
    reading.state_text.clear();
    reading.value.clear();
    reading.role_code = object.role_code;
    if (object.role_code == 0)
        return;
    reading.role_text = base::utf8_to_windows1252(object.role_text);
    reading.area = object.area;
    reading.name = base::utf8_to_windows1252(object.name);
    if (object.unavailable)
        reading.state_text = "indispon\xEDvel";
    else if (object.checked)
        reading.state_text = "marcado";
    reading.value = base::utf8_to_windows1252(object.value);
}

bool store_text(Runtime& runtime, std::string_view rest, const std::string& text)
{
    auto target = read_target(runtime, rest);
    if (!target)
        return false;
    runtime.variables.set(*target, text);
    return true;
}

bool run_accessibility(Runtime& runtime, std::string_view rest)
{
    auto* state = desktop_state(runtime);
    if (!state)
        return false;
    rest = trim(rest);
    auto& accessibility = state->accessibility();
    auto& reading = state->reading();
    if (take_word(rest, "MONITORA")) {
        if (!state->monitoring())
            accessibility.start_events();
        state->set_monitoring(true);
        return true;
    }
    if (take_word(rest, "FIM")) {
        if (state->monitoring())
            accessibility.stop_events();
        state->set_monitoring(false);
        return true;
    }
    if (take_word(rest, "CHECA")) {
        auto target = read_target(runtime, rest);
        if (!target)
            return false;
        platform::AccessibleEvent event;
        auto object = state->monitoring() ? accessibility.next_event_object(event) : std::nullopt;
        if (object)
            read_object(reading, *object);
        runtime.variables.set(*target, object ? "1" : "0");
        return true;
    }
    if (take_word(rest, "CAPTURA")) {
        auto x = read_number_value(runtime, rest);
        if (!x)
            return false;
        rest = trim(rest);
        if (!rest.empty() && rest.front() == ',')
            rest.remove_prefix(1);
        auto y = read_number_value(runtime, rest);
        if (!y)
            return false;
        if (auto object = accessibility.object_at(*x, *y))
            read_object(reading, *object);
        return true;
    }
    if (take_word(rest, "AREA") || take_word(rest, "\xC1REA")) {
        const int values[] = { reading.area.left, reading.area.top, reading.area.width, reading.area.height };
        for (int value : values) {
            auto target = read_target(runtime, rest);
            if (!target)
                return false;
            runtime.variables.set(*target, std::to_string(value));
            rest = trim(rest);
            if (!rest.empty() && rest.front() == ',')
                rest.remove_prefix(1);
        }
        return true;
    }
    if (take_word(rest, "NOME"))
        return store_text(runtime, rest, reading.name);
    if (take_word(rest, "CODIGO") || take_word(rest, "C\xD3" "DIGO"))
        return store_text(runtime, rest, std::to_string(reading.role_code));
    if (take_word(rest, "TIPO"))
        return store_text(runtime, rest, reading.role_text);
    if (take_word(rest, "ESTADO"))
        return store_text(runtime, rest, reading.state_text);
    if (take_word(rest, "VALOR"))
        return store_text(runtime, rest, reading.value);
    return false;
}

}

void bind_desktop_statements(CommandTable& table)
{
    table.bind("DIGITA", run_type);
    table.bind("ACIONA", run_press);
    table.bind("CLICA", run_click);
    table.bind("TRANSFERE", run_transfer);
    table.bind("JANELA", run_window);
    table.bind("CAPTURA", run_capture);
    table.bind("MSAA", run_accessibility);
}

}
