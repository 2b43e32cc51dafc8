// SPDX-License-Identifier: GPL-3.0-or-later
// One input line of the synthesiser: "NAME DURATION_MS [PERCENT PITCH_HZ]...",
// a ";" comment, an empty line, or "#" (synthesise what is queued).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace diphone {

// A line longer than this is refused rather than read.
constexpr size_t max_line_length = 1024;
constexpr size_t max_pitch_points = 64;
// Durations and pitches outside these bounds are brought to them: the
// numbers are well formed, only extreme.
constexpr double max_duration_ms = 10000;
constexpr double min_pitch_hz = 40;
constexpr double max_pitch_hz = 800;

struct PitchPoint {
    double percent = 0;
    double hz = 0;
};

struct PhonemeLine {
    std::string name;
    double duration_ms = 0;
    std::vector<PitchPoint> points;
};

enum class LineKind {
    Nothing, // empty or comment
    Phoneme,
    Flush,
    Error,
};

struct ParsedLine {
    LineKind kind = LineKind::Nothing;
    PhonemeLine phoneme;
    std::string error;
};

ParsedLine parse_phoneme_line(std::string_view line);

}
