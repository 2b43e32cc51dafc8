// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the voice against espeak-ng: durations of words and sentences,
// the spectral distance (MFCC with DTW) of each word to espeak-ng's own
// rendering, and how often a nearest-template recogniser trained on
// espeak-ng's renderings picks the right word of a minimal-pair group.
//
// Our side is rendered by the program itself (--corvante PATH --drive DIR:
// corvante --headless --audio speaks each text with "fala", drive C laid out
// by scripts/install-voice) or, without those options, by the emulated
// synthesiser of unit_lookup_model (the program's translator's unit strings
// played from the committed database).
#include "espeak_renderer.h"
#include "resample.h"
#include "spectral_distance.h"
#include "unit_database.h"
#include "unit_lookup_model.h"
#include "wave_shaping.h"

#include "audio/wave_file.h"
#include "base/text_encoding.h"
#include "speech/builtin_translator.h"
#include "speech/exception_table.h"
#include "speech/translation_rules.h"

#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <span>
#include <sstream>

namespace {

struct Options {
    std::string data = "data/voice";
    std::string pairs = "tools/voice/minimal_pairs.txt";
    int level = 3;
    bool check = false;
    int group_floor = 0;
    std::string corvante;
    std::string drive;
};

constexpr int cuts[] = { 0, 300, 600, 800, 900 };
constexpr int pauses[] = { 600, 400, 300, 200, 100 };

std::string read_bytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

std::vector<double> to_doubles(const std::vector<int16_t>& samples)
{
    return std::vector<double>(samples.begin(), samples.end());
}

class EmulatedVoice {
public:
    EmulatedVoice(const std::string& data, int level)
        : m_index(*voice::UnitIndex::load(data + "/DIFONES2.IND"))
        , m_samples(read_bytes(data + "/DIFONES2.DIF"))
        , m_letters(data + "/letras")
        , m_model([this](std::string_view name) { return m_index.sample_count(name); },
                  [this](std::string_view name) -> std::optional<int> {
                      auto& bytes = letter(name);
                      if (bytes.empty())
                          return std::nullopt;
                      return int(bytes.size());
                  },
                  { .cut = cuts[level - 1], .keep = 800, .between_words = pauses[level - 1] })
    {
        m_rules.load(read_bytes(data + "/regras.rgr"));
        m_exceptions.load(read_bytes(data + "/portug.exc"));
        m_model.emulate_sound(
            [this](std::string_view name) -> std::span<const uint8_t> {
                for (const auto& record : m_index.records())
                    if (record.name == name)
                        return { reinterpret_cast<const uint8_t*>(m_samples.data()) + record.offset, record.count };
                return {};
            },
            [this](std::string_view name) -> std::span<const uint8_t> { return letter(name); });
    }

    // Windows-1252 text to 16-bit-scaled samples at 11025 Hz.
    std::vector<double> render(const std::string& text)
    {
        m_model.reset();
        m_model.synthesise(speech::translate_to_phonemes(text, m_rules, m_exceptions));
        std::vector<int16_t> scaled;
        for (uint8_t sample : m_model.sound())
            scaled.push_back(int16_t((int(sample) - 128) * 256));
        return to_doubles(voice::trim_silence(scaled, true, true, 600));
    }

private:
    const std::vector<uint8_t>& letter(std::string_view name)
    {
        auto [entry, added] = m_letter_cache.try_emplace(std::string(name));
        if (added) {
            std::string bytes = read_bytes(m_letters + "/" + std::string(name) + ".wav");
            if (bytes.size() > 44)
                entry->second.assign(bytes.begin() + 44, bytes.end());
        }
        return entry->second;
    }

    speech::TranslationRules m_rules;
    speech::ExceptionTable m_exceptions;
    voice::UnitIndex m_index;
    std::string m_samples;
    std::string m_letters;
    std::map<std::string, std::vector<uint8_t>> m_letter_cache;
    voice::UnitLookupModel m_model;
};

// The program speaking a text through its own speech chain. Every run ends
// with the host's closing words; the length of a run that says nothing else
// is cut off the end.
class ProgramVoice {
public:
    ProgramVoice(std::string corvante, std::string drive)
        : m_corvante(std::move(corvante))
        , m_drive(std::move(drive))
    {
        m_closing = record("").size();
    }

    std::vector<double> render(const std::string& text)
    {
        std::vector<int16_t> sound = record(text);
        sound.resize(sound.size() > m_closing ? sound.size() - m_closing : 0);
        return to_doubles(voice::trim_silence(sound, true, true, 600));
    }

private:
    std::vector<int16_t> record(const std::string& text)
    {
        std::string script = m_drive + "/voice_compare.cor";
        std::string wave = m_drive + "/voice_compare.wav";
        {
            std::ofstream file(script, std::ios::binary | std::ios::trunc);
            if (!text.empty())
                file << "fala \"" << text << "\"\r\n";
        }
        std::filesystem::remove(wave);
        pid_t child = fork();
        if (child == 0) {
            // No settings of the user's own: only drive C's windows folder.
            setenv("XDG_CONFIG_HOME", (m_drive + "/no-user-config").c_str(), 1);
            std::string drive_option = "C=" + m_drive;
            execl(m_corvante.c_str(), m_corvante.c_str(), "--headless", "--fast", "--audio", wave.c_str(), "--drive",
                  drive_option.c_str(), script.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        if (child > 0)
            waitpid(child, &status, 0);
        return analysis_samples(read_bytes(wave));
    }

    // The recording at the rate and width the analysis works in: the
    // built-in voice records 8-bit sound at 11025 Hz, the phoneme-line voice
    // 16-bit sound at 16000 Hz. Only the first channel is kept.
    static std::vector<int16_t> analysis_samples(const std::string& bytes)
    {
        std::vector<int16_t> samples;
        std::span<const uint8_t> image(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        auto layout = audio::read_wave_layout(image);
        if (!layout || (layout->format.bits != 8 && layout->format.bits != 16) || layout->format.channels < 1)
            return samples;
        auto body = audio::wave_samples(image, *layout);
        size_t frame = static_cast<size_t>(layout->format.block_align());
        for (size_t i = 0; i + frame <= body.size(); i += frame) {
            if (layout->format.bits == 8)
                samples.push_back(int16_t((body[i] - 128) * 256));
            else
                samples.push_back(int16_t(body[i] | (body[i + 1] << 8)));
        }
        if (layout->format.rate != analysis_rate)
            samples = diphone::resample(samples, layout->format.rate, analysis_rate);
        return samples;
    }

    static constexpr int analysis_rate = 11025;

    std::string m_corvante;
    std::string m_drive;
    size_t m_closing = 0;
};

struct GroupScore {
    size_t trials = 0;
    size_t correct = 0;
    size_t espeak_correct = 0;
    size_t within = 0;
    double distance_sum = 0;
};

std::vector<double> espeak_render(voice::EspeakRenderer& renderer, const std::string& text, int words_per_minute)
{
    auto rendering = renderer.render(base::windows1252_to_utf8(text), words_per_minute);
    return to_doubles(voice::trim_silence(voice::halve_rate(rendering.samples), true, true, 600));
}

}

int main(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string_view name = argv[i];
        if (name == "--check") {
            options.check = true;
            continue;
        }
        if (i + 1 >= argc)
            break;
        ++i;
        if (name == "--data") options.data = argv[i];
        else if (name == "--pairs") options.pairs = argv[i];
        else if (name == "--level") options.level = std::clamp(std::atoi(argv[i]), 1, 5);
        else if (name == "--corvante") options.corvante = argv[i];
        else if (name == "--drive") options.drive = argv[i];
        else if (name == "--group-floor") options.group_floor = std::clamp(std::atoi(argv[i]), 0, 100);
    }
    auto renderer = voice::EspeakRenderer::create("pt-br");
    if (!renderer || !std::filesystem::exists(options.data + "/DIFONES2.IND")) {
        std::cerr << "voice_compare: needs espeak-ng and the voice data in " << options.data << "\n";
        return 1;
    }
    EmulatedVoice emulated(options.data, options.level);
    std::optional<ProgramVoice> program;
    if (!options.corvante.empty() && !options.drive.empty())
        program.emplace(options.corvante, options.drive);
    auto ours = [&](const std::string& text) { return program ? program->render(text) : emulated.render(text); };

    std::vector<std::vector<std::string>> groups;
    std::vector<std::string> group_labels;
    std::vector<std::string> sentences;
    std::string label;
    std::ifstream file(options.pairs);
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        line = base::utf8_to_windows1252(line);
        if (line.rfind("sentence ", 0) == 0) {
            sentences.push_back(line.substr(9));
            continue;
        }
        if (line.rfind("group ", 0) == 0) {
            label = line.substr(6);
            continue;
        }
        std::istringstream words(line);
        std::vector<std::string> group;
        for (std::string word; words >> word;)
            group.push_back(word);
        if (group.empty())
            continue;
        groups.push_back(group);
        group_labels.push_back(label);
    }

    size_t trials = 0, correct = 0, espeak_correct = 0, within = 0, measured = 0;
    double distance_sum = 0;
    std::printf("%-12s %8s %8s %6s %9s %s\n", "word", "ours ms", "espeak", "ratio", "distance", "recognised as");
    std::map<std::string, GroupScore> scores;
    for (size_t g = 0; g < groups.size(); ++g) {
        const auto& group = groups[g];
        std::vector<std::vector<voice::CepstralFrame>> templates;
        for (const std::string& word : group)
            templates.push_back(voice::mel_cepstra(espeak_render(*renderer, word, 175)));
        for (size_t w = 0; w < group.size(); ++w) {
            auto sound = ours(group[w]);
            auto reference = espeak_render(*renderer, group[w], 175);
            auto cepstra = voice::mel_cepstra(sound);
            // espeak-ng at another speed shows what the recogniser can do at best.
            auto control = voice::mel_cepstra(espeak_render(*renderer, group[w], 140));
            size_t best = 0, control_best = 0;
            std::vector<double> distances;
            for (size_t t = 0; t < templates.size(); ++t) {
                distances.push_back(voice::warped_distance(cepstra, templates[t]));
                if (distances[t] < distances[best])
                    best = t;
                if (voice::warped_distance(control, templates[t]) < voice::warped_distance(control, templates[control_best]))
                    control_best = t;
            }
            double ratio = double(sound.size()) / double(std::max<size_t>(1, reference.size()));
            ++trials;
            correct += best == w;
            espeak_correct += control_best == w;
            distance_sum += distances[w];
            ++measured;
            within += ratio >= 0.7 && ratio <= 1.3;
            if (!group_labels[g].empty()) {
                // A held-out half counts on a line of its own and in its group.
                std::string family = group_labels[g].substr(0, group_labels[g].find(' '));
                std::vector<std::string> keys = { family };
                if (group_labels[g] != family)
                    keys.push_back(group_labels[g]);
                for (const std::string& key : keys) {
                    GroupScore& score = scores[key];
                    ++score.trials;
                    score.correct += best == w;
                    score.espeak_correct += control_best == w;
                    score.distance_sum += distances[w];
                    score.within += ratio >= 0.7 && ratio <= 1.3;
                }
            }
            std::printf("%-12s %8.0f %8.0f %6.2f %9.2f %s\n", base::windows1252_to_utf8(group[w]).c_str(),
                        sound.size() * 1000.0 / 11025, reference.size() * 1000.0 / 11025, ratio, distances[w],
                        base::windows1252_to_utf8(group[best]).c_str());
        }
    }
    for (const std::string& sentence : sentences) {
        auto sound = ours(sentence);
        auto reference = espeak_render(*renderer, sentence, 175);
        double ratio = double(sound.size()) / double(std::max<size_t>(1, reference.size()));
        ++measured;
        within += ratio >= 0.7 && ratio <= 1.3;
        std::printf("sentence: %.0f ms vs %.0f ms, ratio %.2f: %s\n", sound.size() * 1000.0 / 11025,
                    reference.size() * 1000.0 / 11025, ratio, base::windows1252_to_utf8(sentence).c_str());
    }
    std::printf("\n%s\n", program ? "rendered by corvante --headless --audio (settings of scripts/install-voice)"
                                   : "rendered by the emulated synthesiser");
    std::printf("durations within 30%% of espeak-ng: %zu of %zu\n", within, measured);
    std::printf("mean MFCC-DTW distance to espeak-ng's word: %.2f\n", trials ? distance_sum / double(trials) : 0.0);
    std::printf("minimal pairs recognised: ours %zu of %zu; espeak-ng at 140 wpm %zu of %zu\n", correct, trials,
                espeak_correct, trials);
    bool group_below = false;
    if (!scores.empty())
        std::printf("\n%-18s %9s %9s %9s %9s\n", "group", "ours", "espeak-ng", "distance", "durations");
    for (const auto& [key, score] : scores) {
        std::printf("%-18s %4zu/%-4zu %4zu/%-4zu %9.2f %4zu/%-4zu\n", key.c_str(), score.correct, score.trials,
                    score.espeak_correct, score.trials, score.distance_sum / double(score.trials), score.within,
                    score.trials);
        group_below = group_below || score.correct * 100 < score.trials * size_t(options.group_floor);
    }
    if (group_below) {
        std::printf("voice_compare: a group is recognised below %d%%\n", options.group_floor);
        return 1;
    }
    // The floor that --check holds the voice to: nearly every duration near
    // espeak-ng's, and the words told apart nearly as well as espeak-ng
    // tells its own renderings apart.
    if (options.check && (within * 100 < measured * 85 || correct * 100 < espeak_correct * 90)) {
        std::printf("voice_compare: below the floor (85%% of durations within 30%%, 90%% of espeak-ng's recognition)\n");
        return 1;
    }
    return 0;
}
