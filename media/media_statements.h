// SPDX-License-Identifier: GPL-3.0-or-later
// The media commands of scripts: TOCA, MCI, MIDI.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace interpreter {
class CommandTable;
}

namespace media {

void bind_media_statements(interpreter::CommandTable& table);

enum class MidiForm { start, end, panic, note_on, note_off, program };

// One MIDI statement, read from its upper-cased, trimmed rest: the form
// and up to three whole numbers, all in range.
struct MidiRequest {
    MidiForm form = MidiForm::start;
    std::array<int, 3> values {};
};

std::optional<MidiRequest> parse_midi_request(std::string_view upper_rest);

// The alias under which TOCA plays a file to its end.
constexpr std::string_view play_alias = "myfile";

}
