// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the profile-file reader: matching rules, line ends and encodings.
#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

using settings::find_ini_value;

TEST(IniFile, MatchesSectionsAndKeysWithoutRegardToCase)
{
    std::string text = "[Tradutor]\nDirLetras=c:\\letras\n[video]\ncorfundo = 4\n";
    EXPECT_EQ(find_ini_value(text, "TRADUTOR", "DIRLETRAS"), "c:\\letras");
    EXPECT_EQ(find_ini_value(text, "TRADUTOR", "dirLetras"), "c:\\letras");
    EXPECT_EQ(find_ini_value(text, "VIDEO", "CORFUNDO"), "4");
    EXPECT_EQ(find_ini_value(text, "VIDEO", "DIRLETRAS"), std::nullopt);
    EXPECT_EQ(find_ini_value(text, "AUSENTE", "X"), std::nullopt);
    // Accented names follow the code page's own capitals.
    EXPECT_EQ(find_ini_value("[SE\xC7\xC3O]\nchave=1\n", "se\xE7\xE3o", "CHAVE"), "1");
}

TEST(IniFile, TakesTheFirstMatchingKeyOfAnySectionWithTheName)
{
    std::string text = "[A]\nk=1\nk=2\n[B]\nk=3\n[a]\nk=4\nj=5\n";
    EXPECT_EQ(find_ini_value(text, "A", "K"), "1");
    EXPECT_EQ(find_ini_value(text, "A", "J"), "5");
    EXPECT_EQ(find_ini_value(text, "B", "K"), "3");
}

TEST(IniFile, TrimsBlanksAndOnePairOfQuotes)
{
    std::string text = "  [ VIDEO ]  \n\t FONTE \t=  \"Lucida Console\"  \nX='a b'\nY=\"half\nZ=\nW=  \"\"\n";
    EXPECT_EQ(find_ini_value(text, "VIDEO", "FONTE"), "Lucida Console");
    EXPECT_EQ(find_ini_value(text, "VIDEO", "X"), "a b");
    EXPECT_EQ(find_ini_value(text, "VIDEO", "Y"), "\"half");
    EXPECT_EQ(find_ini_value(text, "VIDEO", "Z"), "");
    EXPECT_EQ(find_ini_value(text, "VIDEO", "W"), "");
    // The value runs to the end of the line, equals signs and all.
    EXPECT_EQ(find_ini_value("[S]\nK=a=b ; c\n", "S", "K"), "a=b ; c");
}

TEST(IniFile, AcceptsEveryLineEnd)
{
    for (std::string end : { "\r\n", "\n", "\r" }) {
        std::string text = "[S]" + end + "A=1" + end + "B=2" + end + "[T]" + end + "A=3";
        EXPECT_EQ(find_ini_value(text, "S", "A"), "1");
        EXPECT_EQ(find_ini_value(text, "S", "B"), "2");
        EXPECT_EQ(find_ini_value(text, "T", "A"), "3");
    }
}

TEST(IniFile, IgnoresLinesOutsideSectionsAndWithoutEquals)
{
    std::string text = "K=outside\n[S]\njust words\n=no key\nK=inside\n[broken\nK=in broken\n";
    EXPECT_EQ(find_ini_value(text, "S", "K"), "inside");
    EXPECT_EQ(find_ini_value(text, "S", ""), "no key");
    // A header without "]" still names its section.
    EXPECT_EQ(find_ini_value(text, "broken", "K"), "in broken");
}

class IniFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "ini_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
    }
    void TearDown() override
    {
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }
    std::string write(const std::string& bytes)
    {
        std::string path = m_folder + "/Lumera.ini";
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string m_folder;
};

TEST_F(IniFileOnDisk, ReadsWindows1252AndUtf8AsRuntimeText)
{
    EXPECT_EQ(settings::read_ini_text(write("[S]\nK=m\xFAsica\n")), "[S]\nK=m\xFAsica\n");
    EXPECT_EQ(settings::read_ini_text(write("[S]\nK=m\xC3\xBAsica\n")), "[S]\nK=m\xFAsica\n");
    EXPECT_EQ(settings::read_ini_text(write("\xEF\xBB\xBF[S]\nK=1\n")), "[S]\nK=1\n");
    // UTF-16LE with its mark, as Notepad saves "Unicode".
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("[S]\nK=m\xFAs"))
        utf16 += std::string { c, '\0' };
    utf16 += std::string("\x3D\xD8\x00\xDE", 4); // a character beyond the code page
    EXPECT_EQ(settings::read_ini_text(write(utf16)), "[S]\nK=m\xFAs?");
}

TEST_F(IniFileOnDisk, ReadsNothingFromWhatIsNotAFile)
{
    EXPECT_EQ(settings::read_ini_text(""), "");
    EXPECT_EQ(settings::read_ini_text(m_folder + "/missing.ini"), "");
    EXPECT_EQ(settings::read_ini_text(m_folder), "");
    std::string fifo = m_folder + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(settings::read_ini_text(fifo), "");
}

TEST_F(IniFileOnDisk, ReadsAtMostOneMegabyte)
{
    std::string big = "[S]\nA=1\n" + std::string(2 << 20, ';') + "\nB=2\n";
    std::string text = settings::read_ini_text(write(big));
    EXPECT_EQ(text.size(), size_t(1) << 20);
    EXPECT_EQ(find_ini_value(text, "S", "A"), "1");
    EXPECT_EQ(find_ini_value(text, "S", "B"), std::nullopt);

    // A file over several reads of the reader's chunk comes whole.
    std::string long_file = "[S]\n" + std::string(40000, ';') + "\nB=2\n";
    EXPECT_EQ(settings::read_ini_text(write(long_file)), long_file);
}

}
