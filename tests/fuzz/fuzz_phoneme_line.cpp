// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the diphone synthesiser's input: each line through the line
// parser, then the whole text through the synthesiser over a small
// database, with errors reported and with errors skipped.
#include "phoneme_line.h"
#include "psola_synthesiser.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

std::shared_ptr<const diphone::DiphoneDatabase> small_database()
{
    diphone::DiphoneDatabase database;
    const char* names[] = { "_", "a", "s" };
    for (const char* left : names) {
        for (const char* right : names) {
            diphone::Diphone made;
            made.left = left;
            made.right = right;
            for (int i = 0; i < 800; ++i)
                made.samples.push_back(int16_t(i % 133 < 20 ? 4000 : -300));
            made.start = 100;
            made.boundary = 400;
            made.end = 700;
            for (uint32_t at = 10; at < 800; at += 133)
                made.marks.push_back({ at, left[0] == 'a' });
            database.add(made);
        }
    }
    return std::make_shared<const diphone::DiphoneDatabase>(std::move(database));
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const auto database = small_database();
    std::string_view text(reinterpret_cast<const char*>(data), size);
    double total_ms = 0;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = std::min(text.find('\n', at), text.size());
        diphone::ParsedLine parsed = diphone::parse_phoneme_line(text.substr(at, end - at));
        at = end + 1;
        if (parsed.kind == diphone::LineKind::Error) {
            if (parsed.error.empty())
                std::abort();
            continue;
        }
        if (parsed.kind != diphone::LineKind::Phoneme)
            continue;
        // What is accepted is a name and numbers within their bounds.
        const auto& phoneme = parsed.phoneme;
        if (!diphone::is_phoneme_name(phoneme.name) || !(phoneme.duration_ms >= 0)
            || phoneme.duration_ms > diphone::max_duration_ms || phoneme.points.size() > diphone::max_pitch_points)
            std::abort();
        for (const auto& point : phoneme.points) {
            if (!(point.percent >= 0 && point.percent <= 100 && point.hz >= diphone::min_pitch_hz
                    && point.hz <= diphone::max_pitch_hz))
                std::abort();
        }
        total_ms += phoneme.duration_ms;
    }
    // Synthesis takes time in proportion to the audio; a few seconds of it
    // exercise every path.
    if (total_ms > 2000)
        return 0;
    for (bool no_error : { false, true }) {
        diphone::PsolaSynthesiser synthesiser(database);
        synthesiser.set_no_error(no_error);
        synthesiser.write(text);
        synthesiser.flush();
        size_t expected_at_most = size_t(total_ms * 16) + 16 * 1000;
        if (synthesiser.waiting() > expected_at_most)
            std::abort();
        int16_t buffer[512];
        while (synthesiser.read(buffer, 512) > 0) {
        }
    }
    return 0;
}
