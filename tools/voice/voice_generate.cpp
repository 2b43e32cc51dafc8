// SPDX-License-Identifier: GPL-3.0-or-later
// The voice-data generator: writes the exceptions file, the "DIFONES2" unit
// database and the letters directory from the authored rules, a word list
// and espeak-ng. The same inputs and espeak-ng version give the same bytes.
#include "espeak_renderer.h"
#include "exception_builder.h"
#include "unit_database.h"
#include "unit_inventory.h"
#include "unit_lookup_model.h"
#include "unit_renderer.h"
#include "wave_shaping.h"
#include "word_list.h"

#include "speech/builtin_translator.h"
#include "speech/exception_table.h"
#include "speech/translation_rules.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

namespace {

struct Options {
    std::string rules = "data/voice/regras.rgr";
    std::string words = "/usr/share/dict/brazilian";
    std::string recordings = "tools/voice/recordings.txt";
    std::string output = "data/voice";
};

bool read_options(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string_view name = argv[i];
        if (name == "--rules") options.rules = argv[i + 1];
        else if (name == "--words") options.words = argv[i + 1];
        else if (name == "--recordings") options.recordings = argv[i + 1];
        else if (name == "--output") options.output = argv[i + 1];
        else return false;
    }
    return argc % 2 == 1;
}

// Adds every name the rules ask for over the word list until none is
// missing: a name of up to 8 bytes that the index lacks would fall back to
// a hiss or to silence, or to a spliced approximation.
std::set<std::string> close_inventory(std::set<std::string> names, const std::vector<std::string>& words,
                                      const speech::TranslationRules& rules,
                                      const speech::ExceptionTable& exceptions)
{
    std::vector<std::string> units;
    for (const std::string& word : words)
        units.push_back(speech::translate_to_phonemes(word, rules, exceptions));
    while (true) {
        size_t before = names.size();
        voice::UnitLookupModel model(
            [&](std::string_view name) -> std::optional<int> {
                return names.count(std::string(name)) ? std::optional<int>(1000) : std::nullopt;
            },
            [](std::string_view) -> std::optional<int> { return 1000; }, {});
        for (const std::string& unit : units)
            model.synthesise(unit);
        for (const auto& lookup : model.lookups())
            if (!lookup.found && lookup.name.size() <= voice::longest_index_name && voice::plan_unit(lookup.name))
                names.insert(lookup.name);
        for (const std::string& name : model.hissed())
            if (voice::plan_unit(name))
                names.insert(name);
        if (names.size() == before)
            return names;
    }
}

struct Recording {
    std::string stem;
    int words_per_minute = 175;
    std::string text;
};

std::vector<Recording> read_recordings(const std::string& path)
{
    std::vector<Recording> recordings;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Recording recording;
        std::string rate;
        std::getline(fields, recording.stem, '\t');
        std::getline(fields, rate, '\t');
        std::getline(fields, recording.text);
        recording.words_per_minute = std::stoi(rate);
        recordings.push_back(recording);
    }
    return recordings;
}

std::optional<std::string> read_file_text(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

}

int main(int argc, char** argv)
{
    Options options;
    if (!read_options(argc, argv, options)) {
        std::cerr << "usage: voice_generate [--rules FILE] [--words FILE] [--recordings FILE] [--output DIR]\n";
        return 2;
    }
    auto renderer = voice::EspeakRenderer::create("pt-br");
    if (!renderer) {
        std::cerr << "voice_generate: cannot start espeak-ng with the pt-br voice\n";
        return 1;
    }
    auto rules_text = read_file_text(options.rules);
    auto words = voice::read_word_list(options.words);
    if (!rules_text || !words) {
        std::cerr << "voice_generate: cannot read " << (rules_text ? options.words : options.rules) << "\n";
        return 1;
    }
    speech::TranslationRules rules;
    rules.load(*rules_text);
    std::cout << "espeak-ng " << renderer->version() << "; " << rules.size() << " rules; "
              << words->size() << " words\n";

    voice::ExceptionStatistics statistics;
    std::string exceptions_text
        = voice::exceptions_file_text(voice::build_exceptions(*words, rules, *renderer, statistics));
    std::filesystem::path output = options.output;
    {
        std::ofstream file(output / "portug.exc", std::ios::binary | std::ios::trunc);
        file << exceptions_text;
    }
    speech::ExceptionTable exceptions;
    exceptions.load(exceptions_text);
    std::cout << "exceptions: " << statistics.words << " words compared, " << statistics.disagreements
              << " disagree, " << statistics.kept << " kept, " << statistics.unspellable << " not respelled\n";

    std::set<std::string> names = close_inventory(voice::standard_inventory(), *words, rules, exceptions);
    std::map<std::string, std::vector<uint8_t>> units;
    for (const std::string& name : names) {
        auto plan = voice::plan_unit(name);
        auto samples = plan ? voice::render_unit(*plan, *renderer) : std::nullopt;
        if (!samples) {
            std::cerr << "voice_generate: cannot render unit " << name << "\n";
            return 1;
        }
        units[name] = *samples;
    }
    if (!voice::write_unit_database(units, (output / "DIFONES2.IND").string(), (output / "DIFONES2.DIF").string())) {
        std::cerr << "voice_generate: cannot write the unit database\n";
        return 1;
    }
    std::cout << "units: " << units.size() << "\n";

    std::filesystem::path letters = output / "letras";
    std::filesystem::create_directories(letters);
    size_t recorded = 0;
    for (const Recording& recording : read_recordings(options.recordings)) {
        auto samples = voice::render_recording(recording.text, recording.words_per_minute, *renderer);
        voice::write_file((letters / (recording.stem + ".wav")).string(), voice::wave_image(samples));
        ++recorded;
    }
    for (char key : std::string_view("0123456789X#")) {
        voice::write_file((letters / ("dtmf_" + std::string(1, key) + ".wav")).string(),
                          voice::wave_image(voice::dial_tone(key)));
        ++recorded;
    }
    std::cout << "recordings: " << recorded << "\n";
    return 0;
}
