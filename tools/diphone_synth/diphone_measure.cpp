// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the diphone synthesiser against espeak-ng, whose voice made its
// database: each word and sentence of the minimal-pair list is spoken by
// espeak-ng, its phonemes and their durations (from espeak-ng's phoneme
// events) become our input lines, and our output is compared with
// espeak-ng's by MFCC-DTW distance and by a nearest-template recogniser
// over each minimal-pair group. Also reports the database's size and the
// real-time factor of synthesis (CPU time against audio time, same run).
//
//   diphone_measure [--data data/phoneme_voice/br4] [--pairs tools/voice/minimal_pairs.txt] [--check]
//
// --check fails (exit status 1) below the floor: 85% of the words
// recognised and a mean distance under 14.
#include "diphone_database.h"
#include "espeak_renderer.h"
#include "psola_synthesiser.h"
#include "resample.h"
#include "spectral_distance.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace diphone;

namespace {

// espeak-ng's pt-br phonemes in our names; a diphthong or a nasal vowel
// with its nasal glide becomes two of ours, "N" (nasalisation written after
// a vowel) and ";" (the glide after i) nothing.
const std::map<std::string, std::vector<std::string>>& espeak_to_ours()
{
    static const std::map<std::string, std::vector<std::string>> table = {
        { "a", { "a" } }, { "e", { "e" } }, { "i", { "i" } }, { "o", { "o" } }, { "u", { "u" } },
        { "E", { "E" } }, { "O", { "O" } }, { "&", { "@" } }, { "@", { "@" } }, { "I", { "i" } },
        { "U", { "u" } }, { "y", { "i" } }, { "i;", { "i" } },
        { "&~", { "an" } }, { "a~", { "an" } }, { "e~", { "en" } }, { "i~", { "in" } }, { "o~", { "on" } },
        { "u~", { "un" } }, { "w", { "w" } }, { "j", { "y" } },
        { "aU", { "a", "w" } }, { "aI", { "a", "y" } }, { "eU", { "e", "w" } }, { "eI", { "e", "y" } },
        { "EU", { "E", "w" } }, { "EI", { "E", "y" } }, { "OI", { "O", "y" } }, { "oI", { "o", "y" } },
        { "iU", { "i", "w" } }, { "uI", { "u", "y" } }, { "&U~", { "an", "wn" } }, { "&I~", { "an", "yn" } },
        { "oI~", { "on", "yn" } }, { "eI~", { "en", "yn" } }, { "uI~", { "un", "yn" } },
        { "p", { "p" } }, { "b", { "b" } }, { "t", { "t" } }, { "d", { "d" } }, { "k", { "k" } },
        { "g", { "g" } }, { "f", { "f" } }, { "v", { "v" } }, { "s", { "s" } }, { "z", { "z" } },
        { "S", { "x" } }, { "Z", { "j" } }, { "tS", { "tx" } }, { "dZ", { "dj" } }, { "m", { "m" } },
        { "n", { "n" } }, { "n^", { "nh" } }, { "N", {} }, { ";", {} }, { "l", { "l" } }, { "l^", { "lh" } },
        { "*", { "r" } }, { "R", { "r" } }, { "x", { "rr" } }, { "h", { "rr" } }, { "r", { "r2" } },
        { "*@", { "r" } }, { "_", { "_" } }, { "_:", { "_" } }, { "_!", { "_" } },
    };
    return table;
}

struct Spoken {
    std::vector<int16_t> espeak_11k;
    std::vector<PhonemeLine> lines;
    std::vector<std::string> unknown;
};

Spoken speak(voice::EspeakRenderer& renderer, const std::string& text)
{
    voice::Rendering rendering = renderer.render(text, 175);
    Spoken spoken;
    spoken.espeak_11k = resample(rendering.samples, rendering.sample_rate, 11025);
    auto& events = rendering.events;
    spoken.lines.push_back({ "_", 50, {} });
    for (size_t i = 0; i < events.size(); ++i) {
        size_t end = i + 1 < events.size() ? events[i + 1].sample : rendering.samples.size();
        double ms = double(end - events[i].sample) * 1000.0 / rendering.sample_rate;
        auto found = espeak_to_ours().find(events[i].name);
        if (found == espeak_to_ours().end()) {
            spoken.unknown.push_back(events[i].name);
            spoken.lines.back().duration_ms += ms;
            continue;
        }
        if (found->second.empty()) {
            spoken.lines.back().duration_ms += ms;
            continue;
        }
        for (const auto& name : found->second)
            spoken.lines.push_back({ name, ms / double(found->second.size()), {} });
    }
    spoken.lines.push_back({ "_", 50, {} });
    return spoken;
}

std::vector<double> to_doubles(const std::vector<int16_t>& samples)
{
    return std::vector<double>(samples.begin(), samples.end());
}

}

int main(int argc, char** argv)
{
    std::string data = "data/phoneme_voice/br4";
    std::string pairs = "tools/voice/minimal_pairs.txt";
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--data" && i + 1 < argc)
            data = argv[++i];
        else if (option == "--pairs" && i + 1 < argc)
            pairs = argv[++i];
        else if (option == "--check")
            check = true;
        else {
            std::fprintf(stderr, "usage: diphone_measure [--data BR4] [--pairs LIST] [--check]\n");
            return 2;
        }
    }
    std::string error;
    auto database = DiphoneDatabase::load(data, error);
    if (!database) {
        std::fprintf(stderr, "diphone_measure: %s\n", error.c_str());
        return 1;
    }
    auto renderer = voice::EspeakRenderer::create("pt-br");
    if (!renderer) {
        std::fprintf(stderr, "diphone_measure: espeak-ng's pt-br voice is not available\n");
        return 1;
    }
    // The voice's usual pitch, so that espeak-ng and ours are compared alike.
    espeak_SetParameter(espeakPITCH, 70, 0);
    std::printf("database %s: %zu diphones, %ju bytes, natural pitch %u Hz\n", data.c_str(), database->size(),
        std::uintmax_t(std::filesystem::file_size(data)), database->natural_pitch());

    std::ifstream list(pairs);
    if (!list) {
        std::fprintf(stderr, "diphone_measure: cannot read %s\n", pairs.c_str());
        return 1;
    }
    std::vector<std::vector<std::string>> groups;
    std::vector<std::string> sentences;
    for (std::string line; std::getline(list, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line.rfind("sentence ", 0) == 0) {
            sentences.push_back(line.substr(9));
            continue;
        }
        std::istringstream words(line);
        std::vector<std::string> group;
        for (std::string word; words >> word;)
            group.push_back(word);
        groups.push_back(group);
    }

    double cpu_seconds = 0, audio_seconds = 0, distance_sum = 0;
    size_t distances = 0;
    auto synthesise = [&](const Spoken& spoken) {
        std::timespec before {}, after {};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &before);
        std::vector<float> out = synthesise_phonemes(*database, spoken.lines, "_", "_");
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &after);
        cpu_seconds += double(after.tv_sec - before.tv_sec) + double(after.tv_nsec - before.tv_nsec) / 1e9;
        audio_seconds += double(out.size()) / database_rate;
        std::vector<int16_t> samples;
        for (float value : out)
            samples.push_back(int16_t(std::clamp(std::lround(value), -32768l, 32767l)));
        return resample(samples, database_rate, 11025);
    };
    size_t correct = 0, trials = 0;
    std::printf("%-14s %9s %s\n", "word", "distance", "recognised as");
    for (const auto& group : groups) {
        std::vector<std::vector<voice::CepstralFrame>> templates;
        std::vector<Spoken> spoken;
        for (const auto& word : group) {
            spoken.push_back(speak(*renderer, word));
            templates.push_back(voice::mel_cepstra(to_doubles(spoken.back().espeak_11k)));
        }
        for (size_t i = 0; i < group.size(); ++i) {
            auto ours = voice::mel_cepstra(to_doubles(synthesise(spoken[i])));
            size_t best = 0;
            double best_distance = 1e300;
            for (size_t j = 0; j < templates.size(); ++j) {
                double distance = voice::warped_distance(ours, templates[j]);
                if (distance < best_distance) {
                    best_distance = distance;
                    best = j;
                }
            }
            double own = voice::warped_distance(ours, templates[i]);
            distance_sum += own;
            ++distances;
            ++trials;
            correct += best == i;
            std::string unknown;
            for (const auto& name : spoken[i].unknown)
                unknown += " " + name;
            std::printf("%-14s %9.2f %s%s%s\n", group[i].c_str(), own, group[best].c_str(),
                unknown.empty() ? "" : "  (unmapped:", unknown.empty() ? "" : (unknown + ")").c_str());
        }
    }
    for (const auto& sentence : sentences) {
        Spoken spoken = speak(*renderer, sentence);
        auto ours = voice::mel_cepstra(to_doubles(synthesise(spoken)));
        double distance = voice::warped_distance(ours, voice::mel_cepstra(to_doubles(spoken.espeak_11k)));
        distance_sum += distance;
        ++distances;
        std::printf("sentence %-40.40s %9.2f\n", sentence.c_str(), distance);
    }
    std::printf("minimal pairs recognised: %zu of %zu\n", correct, trials);
    std::printf("mean MFCC-DTW distance to espeak-ng: %.2f over %zu renderings\n",
        distances ? distance_sum / double(distances) : 0.0, distances);
    std::printf("synthesis: %.2f s of audio in %.3f s of CPU: real-time factor %.4f (%.0f samples per CPU second)\n",
        audio_seconds, cpu_seconds, audio_seconds > 0 ? cpu_seconds / audio_seconds : 0.0,
        cpu_seconds > 0 ? audio_seconds * database_rate / cpu_seconds : 0.0);
    double mean = distances ? distance_sum / double(distances) : 0.0;
    if (check && (trials == 0 || double(correct) < 0.85 * double(trials) || mean >= 14)) {
        std::printf("diphone_measure: below the floor (85%% recognised, mean distance under 14)\n");
        return 1;
    }
    return 0;
}
