// SPDX-License-Identifier: GPL-3.0-or-later
// Generates the diphone database and its definitions file: every diphone is
// spoken by espeak-ng's Brazilian Portuguese voice inside a short nonsense
// word given as phonemes, cut at espeak-ng's phoneme events from the middle
// of one phoneme to the middle of the next, brought to 16,000 samples per
// second and given pitch marks.
//
//   diphone_generate --output data/phoneme_voice
#include "diphone_database.h"
#include "espeak_renderer.h"
#include "pitch_analysis.h"
#include "resample.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

using namespace diphone;

namespace {

enum class Kind {
    Vowel,
    Semivowel,
    Consonant,
    Pause,
};

struct Phoneme {
    const char* name;
    const char* espeak; // espeak-ng's mnemonic in its phoneme input
    Kind kind;
    bool voiceless_stop = false;
};

// Our names and espeak-ng's. The nasal semivowels take the oral ones:
// espeak-ng has none of its own, and the nasal vowel before them carries
// the nasality.
const std::vector<Phoneme> phonemes = {
    { "_", "_", Kind::Pause },
    { "a", "a", Kind::Vowel }, { "e", "e", Kind::Vowel }, { "i", "i", Kind::Vowel },
    { "o", "o", Kind::Vowel }, { "u", "u", Kind::Vowel }, { "E", "E", Kind::Vowel },
    { "O", "O", Kind::Vowel }, { "@", "&", Kind::Vowel }, { "an", "&~", Kind::Vowel },
    { "en", "e~", Kind::Vowel }, { "in", "i~", Kind::Vowel }, { "on", "o~", Kind::Vowel },
    { "un", "u~", Kind::Vowel },
    { "w", "w", Kind::Semivowel }, { "y", "j", Kind::Semivowel }, { "wn", "w", Kind::Semivowel },
    { "yn", "j", Kind::Semivowel },
    { "p", "p", Kind::Consonant, true }, { "b", "b", Kind::Consonant }, { "t", "t", Kind::Consonant, true },
    { "d", "d", Kind::Consonant }, { "k", "k", Kind::Consonant, true }, { "g", "g", Kind::Consonant },
    { "f", "f", Kind::Consonant }, { "v", "v", Kind::Consonant }, { "s", "s", Kind::Consonant },
    { "z", "z", Kind::Consonant }, { "x", "S", Kind::Consonant }, { "j", "Z", Kind::Consonant },
    { "tx", "tS", Kind::Consonant, true }, { "dj", "dZ", Kind::Consonant }, { "m", "m", Kind::Consonant },
    { "n", "n", Kind::Consonant }, { "nh", "n^", Kind::Consonant }, { "l", "l", Kind::Consonant },
    { "lh", "l^", Kind::Consonant }, { "r", "*", Kind::Consonant }, { "rr", "x", Kind::Consonant },
    { "r2", "r", Kind::Consonant }, { "s2", "s", Kind::Consonant },
};

const Phoneme& phoneme_named(std::string_view name)
{
    for (const Phoneme& phoneme : phonemes)
        if (name == phoneme.name)
            return phoneme;
    std::fprintf(stderr, "diphone_generate: no phoneme %.*s\n", int(name.size()), name.data());
    std::exit(1);
}

bool vowel_like(const Phoneme& phoneme)
{
    return phoneme.kind == Kind::Vowel || phoneme.kind == Kind::Semivowel;
}

// The pairs Portuguese needs: every phoneme after and before a pause, every
// transition between vowels and consonants, vowel sequences (hiatus and
// diphthongs), onset consonants before the semivowels, clusters with r and
// l, the syllable-final r and s before every consonant, and the stop
// sequences of learned words.
std::vector<std::pair<std::string, std::string>> needed_pairs()
{
    std::vector<std::pair<std::string, std::string>> pairs;
    auto add = [&](std::string_view a, std::string_view b) {
        std::pair<std::string, std::string> pair { std::string(a), std::string(b) };
        if (std::find(pairs.begin(), pairs.end(), pair) == pairs.end())
            pairs.push_back(pair);
    };
    auto is_coda = [](const Phoneme& p) { return std::string_view(p.name) == "r2" || std::string_view(p.name) == "s2"; };
    for (const Phoneme& a : phonemes) {
        for (const Phoneme& b : phonemes) {
            bool pause_pair = a.kind == Kind::Pause || b.kind == Kind::Pause;
            bool a_vowel = vowel_like(a), b_vowel = vowel_like(b);
            if (pause_pair && !(a.kind == Kind::Pause && is_coda(b)))
                add(a.name, b.name);
            else if (a_vowel && (b_vowel || b.kind == Kind::Consonant))
                add(a.name, b.name);
            else if (a.kind == Kind::Consonant && b.kind == Kind::Vowel && !is_coda(a))
                add(a.name, b.name);
            else if (a.kind == Kind::Consonant && !is_coda(a) && (std::string_view(b.name) == "w" || std::string_view(b.name) == "y"))
                add(a.name, b.name);
            else if (is_coda(a) && b.kind == Kind::Consonant && !is_coda(b))
                add(a.name, b.name);
        }
    }
    for (const char* first : { "p", "b", "t", "d", "k", "g", "f", "v" })
        for (const char* second : { "r", "l" })
            add(first, second);
    for (const char* first : { "p", "b", "t", "d", "k", "g" })
        for (const char* second : { "s", "t", "n", "m", "d", "k" })
            if (std::string_view(first) != second)
                add(first, second);
    return pairs;
}

constexpr int words_per_minute = 185;
constexpr double closure_lead_ms = 40;   // voiceless stops' closure before their event
constexpr double pause_half_ms = 20;     // the silence half of a pause diphone
constexpr double margin_ms = 6;          // samples kept beyond each cut
// espeak-ng's pitch setting (0-99) for a speaking voice near 110 Hz, so that
// usual contours move it little; its pitch range is 0, a monotone.
constexpr int espeak_pitch = 70;
constexpr double padding_ms = 40;        // silence added around each rendering

std::vector<const Phoneme*> carrier_for(const Phoneme& a, const Phoneme& b, size_t& a_index)
{
    static const Phoneme t_phoneme { "t", "t", Kind::Consonant, true };
    static const Phoneme a_phoneme { "a", "a", Kind::Vowel };
    std::vector<const Phoneme*> sequence;
    if (a.kind != Kind::Pause) {
        if (vowel_like(a))
            sequence.push_back(&t_phoneme);
        else
            sequence.push_back(&a_phoneme);
    }
    a_index = sequence.size();
    if (a.kind != Kind::Pause)
        sequence.push_back(&a);
    if (b.kind != Kind::Pause) {
        sequence.push_back(&b);
        if (vowel_like(b)) {
            sequence.push_back(&t_phoneme);
            sequence.push_back(&a_phoneme);
        } else {
            sequence.push_back(&a_phoneme);
        }
    }
    return sequence;
}

std::string espeak_name_for(const Phoneme& phoneme, const Phoneme* next)
{
    // Syllable-final s takes the voicing of the consonant after it.
    if (std::string_view(phoneme.name) == "s2" && next
        && std::string_view("b d g m n l v z j dj nh lh").find(next->name) != std::string_view::npos
        && next->kind == Kind::Consonant)
        return "z";
    return phoneme.espeak;
}

// stress_on_second: the stress mark goes before the pair's second phoneme
// instead of on the first full vowel from the pair on; between two
// consonants that keeps espeak-ng from fusing them ("ts").
std::optional<Diphone> render_diphone(const Phoneme& a, const Phoneme& b, voice::EspeakRenderer& renderer,
    bool stress_on_second)
{
    size_t a_index = 0;
    auto sequence = carrier_for(a, b, a_index);
    std::vector<std::string> names;
    for (size_t i = 0; i < sequence.size(); ++i)
        names.push_back(espeak_name_for(*sequence[i], i + 1 < sequence.size() ? sequence[i + 1] : nullptr));
    // The stress goes on the first full vowel of the pair, else on the
    // vowel after it, so that the pair's vowels are never reduced.
    size_t stressed = sequence.size();
    for (size_t i = a_index; i < sequence.size(); ++i) {
        if (sequence[i]->kind == Kind::Vowel) {
            stressed = i;
            break;
        }
    }
    if (stress_on_second && a.kind != Kind::Pause)
        stressed = a_index + 1;
    std::string text = "[[";
    for (size_t i = 0; i < sequence.size(); ++i)
        text += (i == stressed ? "'" : "") + names[i];
    text += "]]";
    voice::Rendering rendering = renderer.render(text, words_per_minute);
    // Pauses are not phonemes of the word, and ";" is the glide espeak-ng
    // puts after i before a vowel: it stays part of the i.
    std::vector<voice::PhonemeEvent> events;
    for (const auto& event : rendering.events)
        if (!event.name.empty() && event.name[0] != '_' && event.name != ";")
            events.push_back(event);
    if (events.size() != sequence.size()) {
        std::fprintf(stderr, "diphone_generate: %s: %zu events for %zu phonemes\n", text.c_str(), events.size(),
            sequence.size());
        return std::nullopt;
    }
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i].name != names[i]) {
            std::fprintf(stderr, "diphone_generate: %s: event %s for %s\n", text.c_str(), events[i].name.c_str(),
                names[i].c_str());
            return std::nullopt;
        }
    }
    double scale = double(database_rate) / rendering.sample_rate;
    std::vector<int16_t> samples = resample(rendering.samples, rendering.sample_rate, database_rate);
    size_t padding = size_t(padding_ms * database_rate / 1000);
    samples.insert(samples.begin(), padding, 0);
    samples.insert(samples.end(), padding, 0);
    size_t utterance_end = padding + size_t(double(rendering.samples.size()) * scale);
    // Each phoneme's stretch: from its event to the next one's, except that
    // a voiceless stop also owns the closure before its burst.
    std::vector<double> starts, cores;
    for (size_t i = 0; i < events.size(); ++i) {
        double at = double(padding) + double(events[i].sample) * scale;
        cores.push_back(at);
        starts.push_back(at);
    }
    for (size_t i = 0; i < events.size(); ++i) {
        if (!sequence[i]->voiceless_stop)
            continue;
        double previous = i > 0 ? cores[i - 1] : double(padding);
        double lead = std::min(closure_lead_ms * database_rate / 1000, (cores[i] - previous) / 2);
        starts[i] = cores[i] - lead;
    }
    auto end_of = [&](size_t i) { return i + 1 < starts.size() ? starts[i + 1] : double(utterance_end); };
    // A stop is cut in its closure, everything else in its middle.
    auto middle_of = [&](size_t i) {
        if (sequence[i]->voiceless_stop)
            return (starts[i] + cores[i]) / 2;
        return (starts[i] + end_of(i)) / 2;
    };
    double pause_half = pause_half_ms * database_rate / 1000;
    double cut_start, boundary, cut_end;
    if (a.kind == Kind::Pause) {
        boundary = starts[0];
        cut_start = boundary - pause_half;
    } else {
        cut_start = middle_of(a_index);
        boundary = end_of(a_index);
    }
    if (b.kind == Kind::Pause) {
        if (a.kind == Kind::Pause) {
            boundary = double(padding) / 2;
            cut_start = boundary - pause_half;
            cut_end = boundary + pause_half;
        } else {
            cut_end = std::min(double(samples.size()), boundary + pause_half);
        }
    } else {
        cut_end = middle_of(a.kind == Kind::Pause ? 0 : a_index + 1);
    }
    double margin = margin_ms * database_rate / 1000;
    long first = std::max(0l, long(cut_start - margin));
    long last = std::min(long(samples.size()), long(cut_end + margin));
    if (!(cut_start < boundary || a.kind == Kind::Pause) || cut_end <= boundary || first >= last)
        return std::nullopt;
    Diphone diphone;
    diphone.left = a.name;
    diphone.right = b.name;
    diphone.samples.assign(samples.begin() + first, samples.begin() + last);
    if (a.kind == Kind::Pause && b.kind == Kind::Pause)
        std::fill(diphone.samples.begin(), diphone.samples.end(), int16_t(0));
    diphone.start = uint32_t(std::max(0l, long(std::lround(cut_start)) - first));
    diphone.boundary = uint32_t(std::max(long(diphone.start), long(std::lround(boundary)) - first));
    diphone.end = uint32_t(std::min(long(diphone.samples.size()), long(std::lround(cut_end)) - first));
    diphone.end = std::max(diphone.end, diphone.boundary);
    diphone.marks = find_pitch_marks(diphone.samples, database_rate);
    if (!check_diphone(diphone).empty())
        return std::nullopt;
    return diphone;
}

}

int main(int argc, char** argv)
{
    std::string output = "data/phoneme_voice";
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--output" && i + 1 < argc)
            output = argv[++i];
        else {
            std::fprintf(stderr, "usage: diphone_generate [--output FOLDER]\n");
            return 2;
        }
    }
    auto renderer = voice::EspeakRenderer::create("pt-br");
    if (!renderer) {
        std::fprintf(stderr, "diphone_generate: espeak-ng's pt-br voice is not available\n");
        return 1;
    }
    espeak_SetParameter(espeakPITCH, espeak_pitch, 0);
    DiphoneDatabase database;
    std::vector<double> pitches;
    size_t missing = 0;
    for (const auto& [left, right] : needed_pairs()) {
        const Phoneme& a = phoneme_named(left);
        const Phoneme& b = phoneme_named(right);
        auto diphone = render_diphone(a, b, *renderer, false);
        if (!diphone && a.kind == Kind::Consonant && b.kind == Kind::Consonant)
            diphone = render_diphone(a, b, *renderer, true);
        if (!diphone) {
            std::fprintf(stderr, "diphone_generate: no diphone %s-%s\n", left.c_str(), right.c_str());
            ++missing;
            continue;
        }
        for (size_t i = 0; i + 640 <= diphone->samples.size(); i += 640) {
            double hz = estimate_pitch(std::span<const int16_t>(diphone->samples).subspan(i, 640), database_rate);
            if (hz > 0)
                pitches.push_back(hz);
        }
        database.add(std::move(*diphone));
    }
    if (!pitches.empty()) {
        std::nth_element(pitches.begin(), pitches.begin() + long(pitches.size() / 2), pitches.end());
        database.set_natural_pitch(uint32_t(std::lround(pitches[pitches.size() / 2])));
    }
    database.set_description("br4: Brazilian Portuguese diphones spoken by " + renderer->version()
        + " (voice pt-br), GPL-3.0-or-later");
    std::vector<uint8_t> bytes = database.serialise();
    std::ofstream file(output + "/br4", std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    std::ofstream definitions(output + "/portug.dfn");
    definitions << "; The diphones of br4, one pair per line; generated by diphone_generate.\n";
    for (const auto& [key, diphone] : database.diphones())
        definitions << diphone.left << ' ' << diphone.right << '\n';
    if (!file || !definitions) {
        std::fprintf(stderr, "diphone_generate: cannot write into %s\n", output.c_str());
        return 1;
    }
    std::printf("%zu diphones (%zu missing), natural pitch %u Hz, %zu bytes\n", database.size(), missing,
        database.natural_pitch(), bytes.size());
    return 0;
}
