// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of Settings: where the file is found, the legacy fallback, the "@" macros and the limits.
#include "settings/settings.h"

#include "settings_folder.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace {

using settings_test::SettingsFolder;

TEST_F(SettingsFolder, WithoutAnyFileEveryReadIsEmptyAndTheFolderIsTheUsers)
{
    EXPECT_EQ(m_settings->settings_directory(), user_directory());
    EXPECT_EQ(m_settings->read_setting("CORVANTE", "DIRCORVANTE"), "");
    EXPECT_EQ(m_settings->read_direct("VIDEO", "FONTE", "Lucida Console"), "Lucida Console");
}

TEST_F(SettingsFolder, LooksInTheUserFolderThenInDriveCsWindowsFolder)
{
    write_windows_file("[CORVANTE]\nDIRCORVANTE=from windows\n[VIDEO]\nFONTE=Windows Font\n");
    EXPECT_EQ(m_settings->settings_directory(), "c:\\windows");
    EXPECT_EQ(m_settings->read_setting("CORVANTE", "DIRCORVANTE"), "from windows");
    EXPECT_EQ(m_settings->read_direct("VIDEO", "FONTE", "x"), "Windows Font");

    // A file appearing in the user folder is seen at the next read.
    write_user_file("[CORVANTE]\nDIRCORVANTE=from user\n");
    EXPECT_EQ(m_settings->settings_directory(), user_directory());
    EXPECT_EQ(m_settings->read_setting("CORVANTE", "DIRCORVANTE"), "from user");
    // Direct reads have no fallback to the other file.
    EXPECT_EQ(m_settings->read_direct("VIDEO", "FONTE", "x"), "x");
}

TEST_F(SettingsFolder, HeldReadingsComeFromOneReadingUntilReleased)
{
    write_windows_file("[S]\nK=first\nM=@@\\x\n");
    {
        settings::HeldSettings held(*m_settings);
        EXPECT_EQ(m_settings->read_setting("S", "K"), "first");
        // Edits while held are not seen, wherever they are made.
        write_windows_file("[S]\nK=second\n");
        write_user_file("[S]\nK=user\n");
        EXPECT_EQ(m_settings->read_setting("S", "K"), "first");
        EXPECT_EQ(m_settings->read_direct("S", "K", "none"), "first");
        EXPECT_EQ(m_settings->read_setting("S", "M"), "c:\\windows\\x");
        EXPECT_EQ(m_settings->settings_directory(), "c:\\windows");
    }
    // Released, the next read finds the user's new file.
    EXPECT_EQ(m_settings->settings_directory(), user_directory());
    EXPECT_EQ(m_settings->read_setting("S", "K"), "user");
    // The fallback file is held too, and fresh again afterwards.
    std::filesystem::remove(user_directory() + "/Lumera.ini");
    {
        settings::HeldSettings held(*m_settings);
        EXPECT_EQ(m_settings->read_setting("S", "K"), "second");
        write_windows_file("[S]\nK=third\n");
        EXPECT_EQ(m_settings->read_setting("S", "K"), "second");
    }
    EXPECT_EQ(m_settings->read_setting("S", "K"), "third");
}

TEST_F(SettingsFolder, FindsTheFileWhateverTheCaseOfItsName)
{
    std::filesystem::remove_all(drive_c() + "/windows");
    write_file(drive_c() + "/WINDOWS/LUMERA.INI", "[S]\nK=upper\n");
    EXPECT_EQ(m_settings->settings_directory(), "c:\\windows");
    EXPECT_EQ(m_settings->read_setting("S", "K"), "upper");
    write_file(user_directory() + "/lumera.ini", "[S]\nK=lower\n");
    EXPECT_EQ(m_settings->read_setting("S", "K"), "lower");
}

TEST_F(SettingsFolder, TheIniOptionReplacesTheSearch)
{
    write_user_file("[S]\nK=user\n");
    write_file(m_root + "/elsewhere/mine.ini", "[S]\nK=override\nD=@@\\sub\n");
    settings::Settings overridden(m_paths, { user_directory(), m_root + "/elsewhere/mine.ini", program_directory() });
    EXPECT_EQ(overridden.read_setting("S", "K"), "override");
    EXPECT_EQ(overridden.read_direct("S", "K", ""), "override");
    EXPECT_EQ(overridden.settings_directory(), m_root + "/elsewhere");
    EXPECT_EQ(overridden.read_setting("S", "D"), m_root + "/elsewhere\\sub");

    // A missing override file gives empty values, never the searched ones.
    settings::Settings missing(m_paths, { user_directory(), m_root + "/none.ini", program_directory() });
    missing.set_legacy(false);
    EXPECT_EQ(missing.read_setting("S", "K"), "");
}

TEST_F(SettingsFolder, TheLegacyFallbackReadsDriveCsWindowsFile)
{
    write_user_file("[S]\nPRESENT=user\nEMPTY=\n");
    write_windows_file("[S]\nPRESENT=windows\nMISSING=windows\nEMPTY=windows\n");
    EXPECT_TRUE(m_settings->legacy());
    EXPECT_EQ(m_settings->read_setting("S", "PRESENT"), "user");
    EXPECT_EQ(m_settings->read_setting("S", "MISSING"), "windows");
    EXPECT_EQ(m_settings->read_setting("S", "EMPTY"), "windows");
    EXPECT_EQ(m_settings->read_direct("S", "MISSING", "default"), "default");

    m_settings->set_legacy(false);
    EXPECT_EQ(m_settings->read_setting("S", "PRESENT"), "user");
    EXPECT_EQ(m_settings->read_setting("S", "MISSING"), "");
    EXPECT_EQ(m_settings->read_setting("S", "EMPTY"), "");
}

TEST_F(SettingsFolder, CutsValuesToTheirBuffers)
{
    std::string long_value;
    for (int i = 0; i < 300; ++i)
        long_value += static_cast<char>('a' + i % 26);
    write_user_file("[S]\nK=" + long_value + "\n");
    EXPECT_EQ(m_settings->read_setting("S", "K"), long_value.substr(0, 254));
    EXPECT_EQ(m_settings->read_direct("S", "K", ""), long_value.substr(0, 79));
    EXPECT_EQ(m_settings->read_direct("S", "MISSING", long_value), long_value.substr(0, 79));

    // The cut comes before the macros: a path that a macro lengthens stays whole.
    write_user_file("[S]\nK=@@\\" + long_value + "\n");
    EXPECT_EQ(m_settings->read_setting("S", "K"), user_directory() + "\\" + long_value.substr(0, 251));
}

// Splits a table line at " | ", keeping empty fields.
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

std::string replace_all(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TEST_F(SettingsFolder, ExpandsTheMacrosOfTheTable)
{
    std::ifstream table(CASE_TABLE_DIR "/macros.txt");
    ASSERT_TRUE(table.good());
    std::string line;
    int cases = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        auto fields = split_fields(line);
        ASSERT_EQ(fields.size(), 3u) << line;
        std::string text = "[TESTE]\nVALOR=" + fields[1] + "\n";
        if (fields[0] != "<missing>")
            text += "[LUMERA]\nPGMLUMERA=" + fields[0] + "\n";
        write_user_file(text);
        std::string expected = replace_all(fields[2], "{PROGRAM}", program_directory());
        expected = replace_all(expected, "{SETTINGS}", user_directory());
        EXPECT_EQ(m_settings->read_setting("TESTE", "VALOR"), expected) << line;
        ++cases;
    }
    EXPECT_GT(cases, 10);
}

TEST_F(SettingsFolder, StopsTheSelfReferenceOfPgmlumera)
{
    write_user_file("[LUMERA]\nPGMLUMERA=@\\lumera\n");
    EXPECT_EQ(m_settings->read_setting("LUMERA", "PGMLUMERA"), program_directory() + "\\lumera");
    write_user_file("[LUMERA]\nPGMLUMERA=c:\\a@\\b\n[S]\nK=@\\x\n");
    EXPECT_EQ(m_settings->read_setting("LUMERA", "PGMLUMERA"), "c:\\ac:\\a@\\b\\b");
    EXPECT_EQ(m_settings->read_setting("S", "K"), "c:\\a@\\b\\x");
}

TEST_F(SettingsFolder, NamesDriveFoldersTheWindowsWay)
{
    // The program folder under drive C reads as a drive path in values.
    std::filesystem::create_directories(drive_c() + "/lumera");
    settings::Settings on_drive(m_paths, { user_directory(), std::string(), drive_c() + "/lumera" });
    write_windows_file("[S]\nK=@\nL=@\\som\n");
    EXPECT_EQ(on_drive.read_setting("S", "K"), "c:\\lumera");
    EXPECT_EQ(on_drive.read_setting("S", "L"), "c:\\lumera\\som");
    EXPECT_EQ(m_paths.to_system(on_drive.read_setting("S", "L")), drive_c() + "/lumera/som");
}

TEST(SettingsNumbers, ReadsOnlyWholeDecimalNumbers)
{
    using settings::Settings;
    EXPECT_EQ(Settings::whole_number("42"), 42);
    EXPECT_EQ(Settings::whole_number("-7"), -7);
    EXPECT_EQ(Settings::whole_number("+7"), 7);
    EXPECT_EQ(Settings::whole_number("007"), 7);
    EXPECT_EQ(Settings::whole_number("2147483647"), 2147483647);
    EXPECT_EQ(Settings::whole_number("-2147483648"), -2147483647 - 1);
    for (const char* invalid : { "", "+", "-", "+-1", "1.5", "1 ", " 1", "12a", "$10", "0x10", "2147483648", "99999999999999999999" })
        EXPECT_EQ(Settings::whole_number(invalid), std::nullopt) << invalid;
}

}
