// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the key table: every key's default, range and reading, from key_defaults.txt.
#include "settings/setting_keys.h"

#include "settings/settings.h"
#include "settings_folder.h"

#include <functional>
#include <map>
#include <sstream>

namespace {

using settings_test::SettingsFolder;
using Reader = std::function<std::string(const settings::Settings&)>;

std::string text_of(int number) { return std::to_string(number); }
std::string text_of(bool flag) { return flag ? "yes" : "no"; }
std::string text_of(std::string text) { return text; }
std::string text_of(std::optional<int> number) { return number ? std::to_string(*number) : "none"; }
std::string text_of(const std::array<int, settings::palette_size>& map)
{
    std::string text;
    for (int entry : map)
        text += (text.empty() ? "" : ",") + std::to_string(entry);
    return text;
}

// Every key function by the name the table uses.
std::map<std::string, Reader> readers()
{
    using namespace settings;
    std::map<std::string, Reader> table;
#define READER(function) table[#function] = [](const Settings& s) { return text_of(function(s)); }
    READER(colour_map);
    READER(fixed_colours);
    READER(slow_scrolling);
    READER(video_background_colour);
    READER(video_text_colour);
    READER(font_face);
    READER(font_width);
    READER(font_height);
    READER(font_weight);
    READER(normal_window);
    READER(braille_keyboard_mode);
    READER(magnifier_level);
    READER(magnifier_text_colour);
    READER(magnifier_background_colour);
    READER(magnifier_cursor_colour);
    READER(legacy_enabled);
    READER(network_timeout_microseconds);
    READER(program_return_wait_ms);
    READER(link_opener_program);
    READER(corvante_directory);
    READER(default_script_directory);
    READER(midi_sound_bank);
    READER(speech_speed);
    READER(letters_directory);
    READER(builtin_letters_directory);
    READER(diphone_directory);
    READER(uses_installed_engine);
    READER(audio_output_device);
    READER(engine_voice);
    READER(engine_speed);
    READER(engine_pitch);
    READER(engine_type);
    READER(mbrola_database);
    READER(berta_directory);
    READER(berta_base_name);
#undef READER
    table["file_opener_program(txt)"] = [](const Settings& s) { return file_opener_program(s, "txt"); };
    table["file_opener_program(jpeg)"] = [](const Settings& s) { return file_opener_program(s, "jpeg"); };
    // Level 3 stands for all: SpeedKeysCarryTheSpeedLevel checks the others.
    for (int level : { 3 }) {
        std::string suffix = "(" + std::to_string(level) + ")";
        auto speed = [level](const Settings& s) { return speed_settings(s, level); };
        table["unit_cut_samples" + suffix] = [speed](const Settings& s) { return text_of(speed(s).unit_cut_samples); };
        table["unit_keep_samples" + suffix] = [speed](const Settings& s) { return text_of(speed(s).unit_keep_samples); };
        table["word_gap_samples" + suffix] = [speed](const Settings& s) { return text_of(speed(s).word_gap_samples); };
        table["speech_cutting" + suffix] = [speed](const Settings& s) { return text_of(speed(s).speech_cutting); };
        table["fast_playback" + suffix] = [speed](const Settings& s) { return text_of(speed(s).fast_playback); };
        table["full_stop_pause_ms" + suffix] = [speed](const Settings& s) { return text_of(speed(s).full_stop_pause_ms); };
        table["comma_pause_ms" + suffix] = [speed](const Settings& s) { return text_of(speed(s).comma_pause_ms); };
        table["colon_pause_ms" + suffix] = [speed](const Settings& s) { return text_of(speed(s).colon_pause_ms); };
    }
    return table;
}

std::vector<std::string> split_fields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t bar = line.find(" | ", start);
        fields.push_back(line.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            return fields;
        start = bar + 3;
    }
}

// Each row writes one key (or none) to the settings file and reads it back
// through its function, so that a default, a range or a reading rule that
// goes wrong shows up on its own line.
TEST_F(SettingsFolder, EveryKeyTakesItsDefaultAndKeepsItsRange)
{
    auto table = readers();
    std::ifstream cases(CASE_TABLE_DIR "/key_defaults.txt");
    ASSERT_TRUE(cases.good());
    std::map<std::string, int> rows_per_reader;
    std::string line;
    while (std::getline(cases, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        auto fields = split_fields(line);
        ASSERT_EQ(fields.size(), 5u) << line;
        auto reader = table.find(fields[0]);
        ASSERT_NE(reader, table.end()) << "no function named " << fields[0];
        std::string text = "[" + fields[1] + "]\n";
        for (auto& field : fields) {
            if (field == "<empty>")
                field.clear();
        }
        if (fields[3] != "<missing>")
            text += fields[2] + "=" + fields[3] + "\n";
        write_user_file(text);
        EXPECT_EQ(reader->second(*m_settings), fields[4]) << line;
        ++rows_per_reader[fields[0]];
    }
    // The table covers every key function.
    for (const auto& [name, reader] : table)
        EXPECT_GT(rows_per_reader[name], 0) << name << " has no row";
}

TEST_F(SettingsFolder, DirectKeysReadNeitherMacrosNorTheLegacyFile)
{
    write_windows_file("[VIDEO]\nCORFUNDO=4\n");
    write_user_file("[VIDEO]\nFONTE=@\n[TRADUTOR]\ndirLetras=@@\\letras\nDIRLETRAS=@@\\letras\n");
    EXPECT_EQ(settings::video_background_colour(*m_settings), 0);
    EXPECT_EQ(settings::font_face(*m_settings), "@");
    EXPECT_EQ(settings::builtin_letters_directory(*m_settings), "@@\\letras\\");
    EXPECT_EQ(settings::letters_directory(*m_settings), user_directory() + "\\letras\\");
}

TEST_F(SettingsFolder, SpeedKeysCarryTheSpeedLevel)
{
    write_user_file("[SINTETIZADOR]\nCORTEFON1=100\nCORTEFON3=300\nCORTEFON5=500\nRAPIDINHO5=Sim\nPAUSAVIRG5=90\n");
    EXPECT_EQ(settings::speed_settings(*m_settings, 1).unit_cut_samples, 100);
    EXPECT_EQ(settings::speed_settings(*m_settings, 5).unit_cut_samples, 500);
    EXPECT_TRUE(settings::speed_settings(*m_settings, 5).fast_playback);
    EXPECT_EQ(settings::speed_settings(*m_settings, 5).comma_pause_ms, 90);
    EXPECT_EQ(settings::speed_settings(*m_settings, 1).comma_pause_ms, 150);
    // A level that is no speed reads level 3's keys.
    EXPECT_EQ(settings::speed_settings(*m_settings, 0).unit_cut_samples, 300);
    EXPECT_EQ(settings::speed_settings(*m_settings, 6).unit_cut_samples, 300);
}

TEST(SettingKeys, DefaultFontSizeFollowsTheWorkArea)
{
    EXPECT_EQ(settings::default_font_width(1024), 13);
    EXPECT_EQ(settings::default_font_width(1280), 16); // 16.25
    EXPECT_EQ(settings::default_font_width(1920), 24); // 24.375
    EXPECT_EQ(settings::default_font_width(512), 6); // 6.5, halves to even
    EXPECT_EQ(settings::default_font_width(1536), 20); // 19.5, halves to even
    EXPECT_EQ(settings::default_font_height(734), 28);
    EXPECT_EQ(settings::default_font_height(1040), 40); // 39.67
    EXPECT_EQ(settings::default_font_height(768), 29); // 29.29
}

}
