// SPDX-License-Identifier: GPL-3.0-or-later
// The speech commands of scripts: FALA, SOLETRA, FALAHORA, SINTCONFIG.
#include "speech/speech_statements.h"

#include "interpreter/argument_readers.h"
#include "interpreter/command_table.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"
#include "settings/settings.h"

#include <array>

namespace speech {

using namespace interpreter;

namespace {

bool run_speak(Runtime& runtime, std::string_view rest)
{
    bool wait = !take_trailing_ampersand(rest);
    if (rest.empty()) {
        runtime.speech.stop_speech();
        if (wait)
            runtime.speech.wait_until_quiet();
        return true;
    }
    std::string text, value;
    while (!rest.empty() && read_value(runtime, rest, value))
        text += value;
    runtime.speech.speak_text(text);
    if (wait)
        runtime.speech.wait_until_quiet();
    return trim(rest).empty();
}

bool run_spell(Runtime& runtime, std::string_view rest)
{
    std::string value;
    if (rest.empty() || !read_value(runtime, rest, value))
        return false;
    runtime.speech.spell_text(value);
    runtime.terminal.write_text(value);
    runtime.speech.wait_until_quiet();
    return true;
}

std::optional<int> two_digits(std::string_view text)
{
    if (!is_digit(text[0]) || !is_digit(text[1]))
        return std::nullopt;
    return (text[0] - '0') * 10 + (text[1] - '0');
}

bool run_speak_time(Runtime& runtime, std::string_view rest)
{
    std::string value;
    if (!read_value(runtime, rest, value) || value.size() != 5 || value[2] != ':')
        return false;
    // Anything but digits around the colon is refused, not read as zero.
    auto hours = two_digits(std::string_view(value).substr(0, 2));
    auto minutes = two_digits(std::string_view(value).substr(3, 2));
    if (!hours || !minutes)
        return false;
    runtime.speech.speak_time(*hours, *minutes);
    runtime.speech.wait_until_quiet();
    return true;
}

bool run_configure_synthesiser(Runtime& runtime, std::string_view rest)
{
    std::array<int, 6> values {};
    for (int& number : values) {
        std::string value;
        if (!read_value(runtime, rest, value))
            return false;
        auto parsed = settings::Settings::whole_number(value);
        if (!parsed)
            return false;
        number = *parsed;
    }
    auto [mode, speed, type, voice, engine_speed, pitch] = values;
    if (mode < 0 || mode > 2)
        return false;
    runtime.speech.configure_synthesiser({ mode, speed, type, voice, engine_speed, pitch });
    return true;
}

}

void bind_speech_statements(CommandTable& table)
{
    table.bind("FALA", run_speak);
    table.bind("SOLETRA", run_spell);
    table.bind("FALAHORA", run_speak_time);
    table.bind("SINTCONFIG", run_configure_synthesiser);
}

}
