// SPDX-License-Identifier: GPL-3.0-or-later
// Cutting units and recordings out of espeak-ng's speech.
#include "unit_renderer.h"

#include "wave_shaping.h"

#include <algorithm>
#include <cmath>

namespace voice {

namespace {

constexpr int voice_rate = 175;
// A voiced stop's event opens its whole closure, some 70 ms of voice bar
// that at the start of a word sounded like a stop and r; espeak-ng keeps
// about 20 ms of it there.
constexpr size_t voice_bar_kept = 276;   // 25 ms at 11025 Hz
constexpr size_t loudness_frame = 55;    // 5 ms at 11025 Hz
constexpr int vowel_level = 1500;
constexpr size_t lone_vowel_limit = 1100; // 100 ms at 11025 Hz
constexpr int fade_in = 22;               // 2 ms at 11025 Hz
constexpr int fade_out = 55;              // 5 ms at 11025 Hz
constexpr double gain = 1.0;

bool is_vowel_event(const std::string& name)
{
    return !name.empty() && std::string_view("aeiouEO&").find(name[0]) != std::string_view::npos;
}

}

std::optional<std::vector<uint8_t>> render_unit(const CarrierPlan& plan, EspeakRenderer& renderer)
{
    Rendering rendering = renderer.render(plan.phonemes, voice_rate);
    const auto& events = rendering.events;
    if (events.size() <= plan.first_event)
        return std::nullopt;
    size_t begin = events[plan.first_event].sample;
    size_t end = rendering.samples.size();
    for (size_t i = plan.first_event + 1; i < events.size(); ++i) {
        if (!plan.end_at.empty()) {
            if (events[i].name == plan.end_at) {
                end = events[i].sample;
                break;
            }
            continue;
        }
        bool ends_here = plan.cut_at_vowel ? is_vowel_event(events[i].name) : events[i].name[0] == '_';
        if (ends_here) {
            end = events[i].sample;
            break;
        }
    }
    end = std::min(end, rendering.samples.size());
    if (begin >= end)
        return std::nullopt;
    std::vector<int16_t> piece(rendering.samples.begin() + long(begin), rendering.samples.begin() + long(end));
    std::vector<int16_t> shaped = halve_rate(piece);
    shaped = trim_silence(shaped, plan.first_event == 0, true);
    if (plan.voiced_stop)
        shaped = shorten_quiet_opening(shaped, voice_bar_kept, loudness_frame, vowel_level);
    if (plan.lone_vowel && shaped.size() > lone_vowel_limit)
        shaped.resize(lone_vowel_limit);
    if (shaped.empty())
        return std::nullopt;
    fade_edges(shaped, fade_in, fade_out);
    return to_unsigned_8(shaped, gain);
}

std::vector<uint8_t> render_recording(std::string_view text, int words_per_minute, EspeakRenderer& renderer)
{
    Rendering rendering = renderer.render(text, words_per_minute);
    std::vector<int16_t> shaped = trim_silence(halve_rate(rendering.samples), true, true);
    fade_edges(shaped, fade_in, fade_out);
    return to_unsigned_8(shaped, gain);
}

std::vector<uint8_t> dial_tone(char key)
{
    constexpr std::string_view keys = "123456789X0#";
    constexpr int rows[] = { 697, 770, 852, 941 };
    constexpr int columns[] = { 1209, 1336, 1477 };
    size_t at = keys.find(key);
    if (at == std::string_view::npos)
        return {};
    double low = rows[at / 3];
    double high = columns[at % 3];
    std::vector<int16_t> samples;
    int length = database_rate * 150 / 1000;
    for (int i = 0; i < length; ++i) {
        double t = double(i) / database_rate;
        samples.push_back(int16_t(9000 * (std::sin(2 * M_PI * low * t) + std::sin(2 * M_PI * high * t))));
    }
    fade_edges(samples, 55, 110);
    return to_unsigned_8(samples, 1.0);
}

}
