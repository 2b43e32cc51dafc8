// SPDX-License-Identifier: GPL-3.0-or-later
// The media commands of scripts: TOCA, MCI, MIDI.
#include "media/media_statements.h"

#include "interpreter/argument_readers.h"
#include "interpreter/command_table.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"
#include "media/media_state.h"

#include <string>

namespace media {

using namespace interpreter;

namespace {

// The one place where the media commands find their state. A runtime built
// without it (a test of another folder) plays nothing, the way a machine
// without a sound card does.
MediaState* media_state(Runtime& runtime) { return runtime.subsystems.media; }

// The reply buffer's size: longer answers are cut to fit it.
constexpr size_t reply_limit = 1023;

constexpr int poll_ms = 100;

bool run_play(Runtime& runtime, std::string_view rest)
{
    bool wait = !take_trailing_ampersand(rest);
    std::string name;
    if (!read_value(runtime, rest, name) || !trim(rest).empty())
        return false;
    MediaState* state = media_state(runtime);
    if (!state)
        return true;
    auto& control = state->control();
    // The name is quoted in both forms, so that a file whose name holds
    // blanks plays too. Errors are not reported: the command succeeds.
    std::string quoted = "\"" + name + "\"";
    if (!wait) {
        control.send("play " + quoted);
        return true;
    }
    std::string alias(play_alias);
    control.send("open " + quoted + " alias " + alias);
    control.send("play " + alias);
    for (;;) {
        runtime.world.pause_ms(poll_ms);
        auto mode = control.send("status " + alias + " mode");
        if (runtime.terminal.key_waiting() || mode != "playing")
            break;
    }
    while (runtime.terminal.key_waiting())
        runtime.terminal.read_key();
    control.send("stop " + alias);
    control.send("close " + alias);
    return true;
}

bool run_media_command(Runtime& runtime, std::string_view rest)
{
    auto target = read_target(runtime, rest);
    if (!target)
        return false;
    std::string command;
    if (!read_value(runtime, rest, command) || !trim(rest).empty())
        return false;
    std::string reply;
    if (MediaState* state = media_state(runtime))
        reply = state->control().send(command);
    if (reply.size() > reply_limit)
        reply.resize(reply_limit);
    runtime.variables.set(*target, reply);
    return true;
}

// A whole number of at most three digits, in range.
std::optional<int> take_number(std::string_view& text, int low, int high)
{
    size_t digits = 0;
    while (digits < text.size() && is_digit(text[digits]))
        ++digits;
    if (digits == 0 || digits > 3)
        return std::nullopt;
    int value = 0;
    for (size_t i = 0; i < digits; ++i)
        value = value * 10 + (text[i] - '0');
    text.remove_prefix(digits);
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

uint32_t short_message(int status, int first, int second)
{
    return static_cast<uint32_t>(status + 256 * first + 65536 * second);
}

bool run_midi(Runtime& runtime, std::string_view rest)
{
    std::string upper = upper_text(trim(rest));
    auto request = parse_midi_request(upper);
    if (!request)
        return false;
    MediaState* state = media_state(runtime);
    if (!state)
        return false;
    if (request->form == MidiForm::start) {
        if (state->midi_started())
            return false;
        state->start_midi();
        state->send_midi(255);
        state->send_midi(63);
        return true;
    }
    if (!state->midi_started())
        return false;
    auto [first, second, third] = request->values;
    switch (request->form) {
    case MidiForm::start:
        break;
    case MidiForm::end:
        state->stop_midi();
        break;
    case MidiForm::panic:
        for (int channel = 0; channel < 16; ++channel) {
            for (int note = 0; note < 128; ++note)
                state->send_midi(short_message(144 + channel, note, 0));
        }
        break;
    case MidiForm::note_on:
        state->send_midi(short_message(144 + first - 1, second, third));
        break;
    case MidiForm::note_off:
        state->send_midi(short_message(144 + first - 1, second, 0));
        break;
    case MidiForm::program:
        if (!state->send_midi(short_message(192 + first - 1, second, 0))) {
            runtime.terminal.write_text("erro em ProgramChange");
            runtime.terminal.end_line();
        }
        break;
    }
    return true;
}

}

std::optional<MidiRequest> parse_midi_request(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    if (text == "INICIA")
        return MidiRequest { MidiForm::start, {} };
    if (text == "TERMINA")
        return MidiRequest { MidiForm::end, {} };
    if (text == "PANE")
        return MidiRequest { MidiForm::panic, {} };
    MidiRequest request;
    int count = 0;
    if (text.starts_with("NL")) {
        request.form = MidiForm::note_on;
        count = 3;
    } else if (text.starts_with("ND")) {
        request.form = MidiForm::note_off;
        count = 2;
    } else if (text.starts_with("TT")) {
        request.form = MidiForm::program;
        count = 2;
    } else {
        return std::nullopt;
    }
    text.remove_prefix(2);
    for (int index = 0; index < count; ++index) {
        // The first value may follow the letters directly; the others need
        // a blank before them, or "1 60" and "160" would read alike.
        size_t blanks = 0;
        while (blanks < text.size() && is_blank(text[blanks]))
            ++blanks;
        if (index > 0 && blanks == 0)
            return std::nullopt;
        text.remove_prefix(blanks);
        auto value = index == 0 ? take_number(text, 1, 16) : take_number(text, 0, 127);
        if (!value)
            return std::nullopt;
        request.values[static_cast<size_t>(index)] = *value;
    }
    if (!text.empty())
        return std::nullopt;
    return request;
}

void bind_media_statements(CommandTable& table)
{
    table.bind("TOCA", run_play);
    table.bind("MCI", run_media_command);
    table.bind("MIDI", run_midi);
}

}
