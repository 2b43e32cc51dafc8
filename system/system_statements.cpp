// SPDX-License-Identifier: GPL-3.0-or-later
// The process, wait, message, picture and sensor commands of scripts.
#include "system/system_statements.h"

#include "audio/sound_output.h"
#include "interpreter/argument_readers.h"
#include "interpreter/messages.h"
#include "interpreter/number.h"
#include "interpreter/run_loop.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"
#include "platform/path_map.h"
#include "base/text_encoding.h"
#include "system/bitmap_file.h"
#include "system/process_match.h"
#include "system/program_start.h"
#include "system/system_state.h"

#include <algorithm>
#include <filesystem>

namespace sys {

using namespace interpreter;

namespace {

constexpr int max_title_length = 250;
constexpr int title_poll_ms = 500;
constexpr int send_delay_ms = 100;

SystemState* state_of(Runtime& runtime) { return runtime.subsystems.system; }

// A pumped pause of any length: the count is not cut to 16 bits, so a
// script that asks for 70 seconds waits 70 seconds.
void pause_long(Runtime& runtime, int64_t milliseconds)
{
    constexpr int64_t slice = 1000;
    while (milliseconds > 0 && !runtime.stop_requested) {
        int64_t step = std::min(milliseconds, slice);
        runtime.world.pause_ms(static_cast<int>(step));
        milliseconds -= step;
    }
}

bool run_execute(Runtime& runtime, std::string_view rest)
{
    auto* state = state_of(runtime);
    int ampersands = 0;
    while (!rest.empty() && rest.back() == '&') {
        rest.remove_suffix(1);
        rest = trim(rest);
        ++ampersands;
    }
    std::string value;
    if (!read_value(runtime, rest, value) || !trim(rest).empty())
        return false;
    if (!state || !runtime.subsystems.paths)
        return false;
    return start_program(runtime, *state, *runtime.subsystems.paths, value, start_way_for(ampersands));
}

bool run_program_exists(Runtime& runtime, std::string_view rest)
{
    std::string name;
    if (!read_value(runtime, rest, name))
        return false;
    auto target = read_target(runtime, rest);
    if (!target)
        return false;
    auto* state = state_of(runtime);
    bool found = state && !find_processes(state->launcher(), trim(name)).empty();
    runtime.variables.set(*target, found ? "1" : "0");
    return true;
}

bool run_alarm(Runtime& runtime, std::string_view rest)
{
    rest = trim(rest);
    if (rest.empty())
        return false;
    auto frequency = read_number_value(runtime, rest);
    if (!frequency)
        return false;
    auto duration = read_number_value(runtime, rest);
    if (!duration)
        return false;
    if (*frequency < 0 || *frequency > 20000 || *duration < 0 || *duration > 20000)
        return false;
    auto* state = state_of(runtime);
    if (state && state->sound())
        state->sound()->play_tone(*frequency, *duration);
    else
        runtime.world.pause_ms(*duration);
    return true;
}

bool run_command(Runtime& runtime, std::string_view rest)
{
    std::string statement;
    if (!read_value(runtime, rest, statement) || !trim(rest).empty())
        return false;
    return execute_line(runtime, statement, true);
}

bool run_wait(Runtime& runtime, std::string_view rest)
{
    rest = trim(rest);
    if (rest.empty())
        return false;
    runtime.io_status = 0;
    bool milliseconds = starts_with_upper(rest, "MS");
    if (milliseconds)
        rest.remove_prefix(2);
    auto number = read_number_value(runtime, rest);
    if (!number)
        return false;
    rest = trim(rest);
    if (rest.empty()) {
        pause_long(runtime, milliseconds ? int64_t(*number) : int64_t(*number) * 1000);
        return true;
    }

    // The window wait: the number is the limit in seconds, and the title of
    // the window in front is looked at twice a second.
    std::string wanted;
    read_value(runtime, rest, wanted);
    upper_text_in_place(wanted);
    int64_t passes = int64_t(*number) * 2;
    auto* state = state_of(runtime);
    while (passes > 0) {
        std::string title;
        if (state)
            title = base::utf8_to_windows1252(state->desktop().foreground_title());
        if (title.size() > max_title_length)
            title.resize(max_title_length);
        if (upper_text(title).find(wanted) != std::string::npos)
            return true;
        runtime.world.pause_ms(title_poll_ms);
        --passes;
    }
    runtime.io_status = 1;
    return true;
}

bool run_send_command(Runtime& runtime, std::string_view rest)
{
    rest = trim(rest);
    if (rest.empty())
        return false;
    std::string line;
    if (!read_value(runtime, rest, line))
        return false;
    // The child may have been started a moment ago; give it time to come up.
    runtime.world.pause_ms(send_delay_ms);
    if (auto* state = state_of(runtime))
        state->captured().send_line(state->launcher(), line);
    return true;
}

bool run_message(Runtime& runtime, std::string_view rest)
{
    rest = trim(rest);
    if (rest.empty())
        return false;
    std::string name;
    if (!read_value(runtime, rest, name))
        return false;
    upper_text_in_place(name);
    if (name.find(".WAV") == std::string::npos)
        name += ".WAV";
    auto* state = state_of(runtime);
    if (state && state->sound())
        state->sound()->play_wave_file(name);
    return true;
}

bool run_handle(Runtime& runtime, std::string_view rest)
{
    auto target = read_target(runtime, rest);
    if (!target)
        return false;
    uint64_t handle = 0;
    if (auto* state = state_of(runtime))
        handle = state->desktop().console_window().value_or(0);
    runtime.variables.set(*target, std::to_string(handle));
    return true;
}

bool run_sensor(Runtime& runtime, std::string_view rest)
{
    auto* state = state_of(runtime);
    if (!state || !state->sensor().open())
        write_message_line(runtime, "inpout32.dll n\xE3o dispon\xEDvel.");
    auto target = read_target(runtime, rest);
    if (!target)
        return false;
    int first = 0;
    if (state) {
        state->sensor().scan();
        first = state->sensor().first_active();
    }
    runtime.variables.set(*target, format_number(first));
    return true;
}

bool ends_with_upper(std::string_view upper, std::string_view suffix)
{
    return upper.size() >= suffix.size() && upper.substr(upper.size() - suffix.size()) == suffix;
}

bool run_picture(Runtime& runtime, std::string_view rest)
{
    auto* state = state_of(runtime);
    rest = trim(rest);
    if (rest.empty()) {
        if (state)
            state->pictures().remove_picture();
        return true;
    }
    bool tolerant = take_trailing_ampersand(rest);
    std::string name;
    if (!read_value(runtime, rest, name))
        return false;
    int x = 0, y = 0;
    if (!trim(rest).empty()) {
        auto read_x = read_number_value(runtime, rest);
        if (!read_x)
            return false;
        auto read_y = read_number_value(runtime, rest);
        if (!read_y || !trim(rest).empty())
            return false;
        x = *read_x;
        y = *read_y;
    }
    if (!state || !runtime.subsystems.paths)
        return tolerant;
    auto& paths = *runtime.subsystems.paths;
    state->pictures().remove_picture();
    auto file_name = trim(name);
    if (file_name.empty())
        return true;

    std::string path = paths.to_system(file_name);
    std::string temporary;
    auto upper = upper_text(file_name);
    std::error_code missing;
    if ((ends_with_upper(upper, ".JPG") || ends_with_upper(upper, ".JPEG")) && !path.empty()
        && std::filesystem::exists(path, missing)) {
        temporary = paths.to_system(SystemState::picture_temporary_file);
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        if (auto bmp = jpeg_to_bmp(path); bmp && !temporary.empty())
            (void)write_binary_file(temporary, *bmp);
        path = temporary;
    }
    bool shown = !path.empty() && state->pictures().load_picture(path);
    if (shown)
        state->pictures().draw_picture(x, y);
    if (!temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return shown || tolerant;
}

}

void bind_system_statements(CommandTable& table)
{
    table.bind("EXECUTA", run_execute);
    table.bind("EXISTEPROG", run_program_exists);
    table.bind("ALARME", run_alarm);
    table.bind("CMD", run_command);
    table.bind("ESPERA", run_wait);
    table.bind("ENVIACMD", run_send_command);
    table.bind("MENSAGEM", run_message);
    table.bind("HANDLE", run_handle);
    table.bind("SENSOR", run_sensor);
    table.bind("IMAGEM", run_picture);
}

}
