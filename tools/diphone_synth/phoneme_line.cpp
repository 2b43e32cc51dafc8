// SPDX-License-Identifier: GPL-3.0-or-later
// Reading one synthesiser input line. The text comes from outside: every
// number is checked to be finite and in range, names are checked against
// the phoneme alphabet, and nothing longer than a line's limit is kept.
#include "phoneme_line.h"

#include "diphone_database.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace diphone {

namespace {

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::vector<std::string_view> split_words(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && is_space(line[at]))
            ++at;
        size_t start = at;
        while (at < line.size() && !is_space(line[at]))
            ++at;
        if (at > start)
            words.push_back(line.substr(start, at - start));
    }
    return words;
}

bool read_number(std::string_view word, double& value)
{
    if (word.empty() || word.size() > 32)
        return false;
    const char* first = word.data();
    const char* last = word.data() + word.size();
    if (*first == '+')
        ++first;
    auto [end, problem] = std::from_chars(first, last, value, std::chars_format::general);
    return problem == std::errc() && end == last && std::isfinite(value);
}

ParsedLine failure(std::string reason)
{
    ParsedLine parsed;
    parsed.kind = LineKind::Error;
    parsed.error = std::move(reason);
    return parsed;
}

}

ParsedLine parse_phoneme_line(std::string_view line)
{
    if (line.size() > max_line_length)
        return failure("line too long");
    line = line.substr(0, line.find(';'));
    auto words = split_words(line);
    ParsedLine parsed;
    if (words.empty())
        return parsed;
    if (words.size() == 1 && words[0] == "#") {
        parsed.kind = LineKind::Flush;
        return parsed;
    }
    if (!is_phoneme_name(words[0]))
        return failure("bad phoneme name");
    if (words.size() < 2)
        return failure("phoneme without a duration");
    if (words.size() % 2 != 0)
        return failure("pitch percent without a pitch");
    if ((words.size() - 2) / 2 > max_pitch_points)
        return failure("too many pitch points");
    PhonemeLine& phoneme = parsed.phoneme;
    phoneme.name = words[0];
    if (!read_number(words[1], phoneme.duration_ms) || phoneme.duration_ms < 0)
        return failure("bad duration");
    phoneme.duration_ms = std::min(phoneme.duration_ms, max_duration_ms);
    for (size_t i = 2; i + 1 < words.size(); i += 2) {
        PitchPoint point;
        if (!read_number(words[i], point.percent) || !read_number(words[i + 1], point.hz))
            return failure("bad pitch point");
        if (point.hz <= 0)
            return failure("bad pitch point");
        point.percent = std::clamp(point.percent, 0.0, 100.0);
        point.hz = std::clamp(point.hz, min_pitch_hz, max_pitch_hz);
        phoneme.points.push_back(point);
    }
    std::stable_sort(phoneme.points.begin(), phoneme.points.end(),
        [](const PitchPoint& a, const PitchPoint& b) { return a.percent < b.percent; });
    parsed.kind = LineKind::Phoneme;
    return parsed;
}

}
