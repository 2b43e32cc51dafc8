// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the translation of the display's key reports into key queue bytes.
#include "braille/braille_output.h"
#include "braille/key_translation.h"
#include "platform/headless/recording_braille_display.h"
#include "tests/support/table_lines.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace platform::braille_chord;

uint16_t chord_of(const std::string& keys)
{
    uint16_t chord = 0;
    std::istringstream names(keys);
    std::string name;
    while (std::getline(names, name, ',')) {
        if (name == "space")
            chord |= space;
        else if (name == "home")
            chord |= home_key;
        else if (name == "end")
            chord |= end_key;
        else
            chord |= static_cast<uint16_t>(1 << (std::stoi(name) - 1));
    }
    return chord;
}

platform::BrailleKeyReport report_of(const std::string& word)
{
    if (word == "release")
        return platform::chord_released();
    if (word.starts_with("press:"))
        return platform::chord_pressed(chord_of(word.substr(6)));
    EXPECT_TRUE(word.starts_with("raw:")) << word;
    auto colon = word.find(':', 4);
    return { std::stoi(word.substr(4, colon - 4)), std::stoi(word.substr(colon + 1)) };
}

TEST(KeyTranslation, FollowsTheTable)
{
    auto lines = test_support::read_table_lines(std::string(CASE_TABLE_DIR) + "/key_cases.txt");
    ASSERT_FALSE(lines.empty()) << "key_cases.txt is missing";
    int cases = 0;
    for (const auto& [number, line] : lines) {
        auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << "line " << number << " has no tab";
        platform::RecordingBrailleDisplay display(40);
        braille::BrailleOutput output(display);
        std::vector<uint8_t> typed;
        std::istringstream reports(line.substr(0, tab));
        std::string word;
        while (reports >> word) {
            auto bytes = output.key_bytes(report_of(word));
            typed.insert(typed.end(), bytes.begin(), bytes.end());
        }
        std::vector<uint8_t> expected;
        std::istringstream bytes(line.substr(tab + 1));
        while (bytes >> word) {
            if (word != "-")
                expected.push_back(static_cast<uint8_t>(std::stoi(word)));
        }
        EXPECT_EQ(typed, expected) << "line " << number << ": " << line;
        ++cases;
    }
    EXPECT_GT(cases, 30);
}

TEST(KeyTranslation, ReleaseClearsThePendingChord)
{
    braille::KeyTranslation keys;
    keys.translate(platform::chord_pressed(chord_of("1,7")));
    EXPECT_EQ(keys.pending_chord(), chord_of("1,7"));
    EXPECT_FALSE(keys.translate(platform::chord_released()));
    EXPECT_EQ(keys.pending_chord(), 0);
    EXPECT_EQ(keys.translate(platform::chord_pressed(chord_of("2"))), std::nullopt);
    EXPECT_EQ(keys.translate(platform::chord_released()), (braille::TypedKey { ',', 0 }));
}

}
