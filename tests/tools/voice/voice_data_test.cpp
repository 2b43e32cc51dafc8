// SPDX-License-Identifier: GPL-3.0-or-later
// The committed voice data: the unit database, the exceptions, the letter
// recordings, and that every name the rules ask for over the Brazilian word
// list is in the index.
#include "unit_database.h"
#include "unit_lookup_model.h"
#include "word_list.h"

#include "speech/builtin_translator.h"
#include "speech/exception_table.h"
#include "speech/translation_rules.h"

#include "tests/interpreter/case_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

const std::string data_dir = VOICE_DATA_DIR;

std::string read_bytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

uint32_t little_endian(const std::string& bytes, size_t at, int width)
{
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + size_t(i)]);
    return value;
}

std::optional<int> letter_samples(std::string_view name)
{
    std::string path = data_dir + "/letras/" + std::string(name) + ".wav";
    if (!std::filesystem::exists(path))
        return std::nullopt;
    return int(std::filesystem::file_size(path) - 44);
}

TEST(VoiceData, IndexRecordsAreSortedAndInsideTheSampleFile)
{
    std::string index_bytes = read_bytes(data_dir + "/DIFONES2.IND");
    auto samples_size = std::filesystem::file_size(data_dir + "/DIFONES2.DIF");
    ASSERT_FALSE(index_bytes.empty());
    ASSERT_EQ(index_bytes.size() % voice::index_record_size, 0u);
    voice::UnitIndex index = voice::UnitIndex::parse(index_bytes);
    std::string previous;
    for (size_t i = 0; i < index.records().size(); ++i) {
        const auto& record = index.records()[i];
        size_t at = i * voice::index_record_size;
        size_t length = static_cast<unsigned char>(index_bytes[at]);
        ASSERT_GE(length, 2u) << record.name;
        ASSERT_LE(length, 8u) << record.name;
        EXPECT_EQ(index_bytes.substr(at + 1 + length, 8 - length), std::string(8 - length, ' ')) << record.name;
        EXPECT_EQ(record.name, voice::upper_name(record.name)) << "names are stored upper case";
        EXPECT_EQ(record.name[0], '$') << record.name;
        EXPECT_LT(previous, record.name) << "records sorted by name bytes, without repeats";
        EXPECT_GT(record.count, 0) << record.name;
        EXPECT_LE(uint64_t(record.offset) + record.count, samples_size) << record.name;
        previous = record.name;
    }
    for (std::string_view name : { "$NN", "$TCH", "$DJ", "$W", "$Y", "$AWTIL", "$ICIRC", "$S", "$RR" })
        EXPECT_TRUE(index.sample_count(name).has_value()) << name;
}

// The authored rules on their own, before any exception.
TEST(VoiceData, AuthoredRulesGiveTheExpectedUnits)
{
    auto cases = test_cases::read_case_table("translation_cases.txt");
    ASSERT_FALSE(cases.empty());
    speech::TranslationRules rules;
    rules.load(read_bytes(data_dir + "/regras.rgr"));
    ASSERT_GT(rules.size(), 0u);
    speech::ExceptionTable no_exceptions;
    for (const auto& entry : cases) {
        ASSERT_EQ(entry.fields.size(), 2u) << "line " << entry.number;
        EXPECT_EQ(speech::translate_to_phonemes(entry.fields[0], rules, no_exceptions), entry.fields[1])
            << "line " << entry.number;
    }
}

TEST(VoiceData, ExceptionsAreSortedPreparedWords)
{
    std::string text = read_bytes(data_dir + "/portug.exc");
    ASSERT_FALSE(text.empty());
    std::istringstream lines(text);
    std::string line;
    std::string previous;
    size_t count = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t equals = line.find('=');
        ASSERT_NE(equals, std::string::npos) << line;
        std::string word = line.substr(0, equals);
        EXPECT_LT(previous, word) << line;
        for (unsigned char c : word)
            EXPECT_TRUE((c >= 'a' && c <= 'z') || c == '\'' || c == '^' || c == '~' || c == '`' || c == '"') << line;
        EXPECT_GT(line.size(), equals + 1) << line;
        previous = word;
        ++count;
    }
    EXPECT_LE(count, 15000u);
}

TEST(VoiceData, LetterRecordingsExistAsEightBitMonoWaves)
{
    std::vector<std::string> names;
    for (int code = 32; code <= 126; ++code)
        names.push_back("_" + std::to_string(code));
    for (int code = 161; code <= 255; ++code)
        names.push_back("_" + std::to_string(code));
    for (int code = 65; code <= 90; ++code)
        names.push_back("_FON" + std::to_string(code));
    for (int code = 97; code <= 122; ++code)
        names.push_back("_FON" + std::to_string(code));
    auto table = test_cases::read_case_table("recorded_names.txt");
    ASSERT_FALSE(table.empty());
    for (const auto& entry : table)
        for (const std::string& name : entry.fields)
            names.push_back(name);
    for (const std::string& name : names) {
        std::string path = data_dir + "/letras/" + name + ".wav";
        std::string bytes = read_bytes(path);
        ASSERT_GT(bytes.size(), 44u) << path;
        EXPECT_EQ(bytes.substr(0, 4), "RIFF") << path;
        EXPECT_EQ(little_endian(bytes, 4, 4), bytes.size() - 8) << path;
        EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ") << path;
        EXPECT_EQ(little_endian(bytes, 16, 4), 16u) << path;
        EXPECT_EQ(little_endian(bytes, 20, 2), 1u) << path << ": PCM";
        EXPECT_EQ(little_endian(bytes, 22, 2), 1u) << path << ": mono";
        EXPECT_EQ(little_endian(bytes, 24, 4), 11025u) << path;
        EXPECT_EQ(little_endian(bytes, 28, 4), 11025u) << path;
        EXPECT_EQ(little_endian(bytes, 32, 2), 1u) << path;
        EXPECT_EQ(little_endian(bytes, 34, 2), 8u) << path;
        EXPECT_EQ(bytes.substr(36, 4), "data") << path;
        EXPECT_EQ(little_endian(bytes, 40, 4), bytes.size() - 44) << path;
        // The recorded-word player appends whole files to a 30000-byte buffer.
        EXPECT_LT(bytes.size() - 44, 30000u) << path;
    }
}

// Every word of the Brazilian word list, through the program's own
// translator (exceptions, stress and rules) and the synthesiser's unit
// lookup: no name may end in the hiss of a short missing name, or in
// silence. The list is cut into shards that CTest can run side by side.
constexpr size_t coverage_shards = 4;

class VoiceCoverage : public testing::TestWithParam<size_t> { };

TEST_P(VoiceCoverage, EveryNameTheRulesAskForExists)
{
    std::string rules_text = read_bytes(data_dir + "/regras.rgr");
    std::string exceptions_text = read_bytes(data_dir + "/portug.exc");
    auto index = voice::UnitIndex::load(data_dir + "/DIFONES2.IND");
    auto words = voice::read_word_list(WORD_LIST_PATH);
    ASSERT_FALSE(rules_text.empty() || exceptions_text.empty());
    ASSERT_TRUE(index);
    ASSERT_TRUE(words) << WORD_LIST_PATH << " is missing (Debian package wbrazilian)";
    ASSERT_GT(words->size(), 100000u);
    speech::TranslationRules rules;
    rules.load(rules_text);
    speech::ExceptionTable exceptions;
    exceptions.load(exceptions_text);

    voice::UnitLookupModel model([&](std::string_view name) { return index->sample_count(name); }, letter_samples,
                                 { .cut = 600, .keep = 800, .between_words = 300 });
    std::map<std::string, std::string> failures;
    for (size_t at = GetParam(); at < words->size(); at += coverage_shards) {
        const std::string& word = (*words)[at];
        std::string units = speech::translate_to_phonemes(word, rules, exceptions);
        model.reset();
        model.synthesise(units);
        for (const auto& name : model.hissed())
            failures.emplace("hiss " + name, word);
        for (const auto& name : model.silent())
            failures.emplace("silence " + name, word);
        for (const auto& lookup : model.lookups())
            if (!lookup.found && lookup.name[0] == '_')
                failures.emplace("no recording " + lookup.name, word);
    }
    for (const auto& [failure, word] : failures)
        ADD_FAILURE() << failure << " (first in '" << word << "')";
}

INSTANTIATE_TEST_SUITE_P(WordListShards, VoiceCoverage, testing::Range(size_t(0), coverage_shards));

}
