// SPDX-License-Identifier: GPL-3.0-or-later
// MENU "CRIA", "ADICIONA", "EXECUTA" and "TERMINA".
#include "console/menu_statements.h"

#include "console/console.h"
#include "console/menu_choice.h"
#include "console/menu_state.h"
#include "interpreter/argument_readers.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"

#include <string>

namespace console {

using namespace interpreter;

namespace {

Menu* current_menu(Runtime& runtime)
{
    auto* state = runtime.subsystems.menu;
    return state && state->menu ? &*state->menu : nullptr;
}

bool create_menu(Runtime& runtime, std::string_view rest)
{
    auto* state = runtime.subsystems.menu;
    auto left = read_number_value(runtime, rest);
    auto top = left ? read_number_value(runtime, rest) : std::nullopt;
    auto right = top ? read_number_value(runtime, rest) : std::nullopt;
    auto bottom = right ? read_number_value(runtime, rest) : std::nullopt;
    if (!state || !bottom || !rest.empty())
        return false;
    state->menu.emplace(MenuRectangle { *left, *top, *right, *bottom });
    return true;
}

bool add_menu_item(Runtime& runtime, std::string_view rest)
{
    auto* menu = current_menu(runtime);
    std::string value;
    if (!menu || !read_value(runtime, rest, value) || !rest.empty())
        return false;
    menu->add_item(std::move(value));
    return true;
}

bool execute_menu(Runtime& runtime, std::string_view rest)
{
    auto* menu = current_menu(runtime);
    auto& console = *runtime.subsystems.console;
    auto number = read_target(runtime, rest);
    auto key = number ? read_target(runtime, rest) : std::nullopt;
    auto text = key ? read_target(runtime, rest) : std::nullopt;
    if (!menu || !text || !rest.empty())
        return false;
    if (auto start = parse_number(trim(runtime.variables.text(*number))))
        menu->set_start_item(*start);
    // Moving sideways or with Ctrl only brings the highlight back to where
    // the choice started; of the extended keys only the F keys reach the
    // script.
    KeyPress end;
    do {
        end = run_menu_choice(runtime, console, *menu);
    } while (end.extended && !is_function_key_code(end.code));

    int position = menu->current() + 1;
    runtime.variables.set(*number, format_number(position));
    runtime.variables.set(*key, key_text(end));
    runtime.variables.set(*text, menu->item_text(menu->current()));
    return true;
}

bool end_menu(Runtime& runtime, std::string_view rest)
{
    auto* menu = current_menu(runtime);
    if (!menu || !rest.empty())
        return false;
    auto& console = *runtime.subsystems.console;
    auto shown = menu->shown_rectangle();
    std::string blanks(static_cast<size_t>(menu->width()), ' ');
    for (int row = shown.top; row <= shown.bottom; ++row) {
        console.goto_xy(shown.left, row);
        console.write_chars(blanks);
    }
    console.goto_xy(shown.left, shown.top);
    runtime.subsystems.menu->menu.reset();
    return true;
}

bool run_menu(Runtime& runtime, std::string_view rest)
{
    struct SubCommand {
        std::string_view word;
        bool (*run)(Runtime&, std::string_view);
    };
    constexpr SubCommand sub_commands[] = {
        { "CRIA", create_menu },
        { "ADICIONA", add_menu_item },
        { "EXECUTA", execute_menu },
        { "TERMINA", end_menu },
    };
    for (const auto& sub : sub_commands) {
        if (starts_with_upper(rest, sub.word))
            return sub.run(runtime, trim(rest.substr(sub.word.size())));
    }
    return false;
}

}

void bind_menu_statements(CommandTable& table)
{
    table.bind("MENU", run_menu);
}

}
