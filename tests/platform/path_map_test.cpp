// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of PathMap: drives, separators, dots, case-insensitive matching and names in Windows-1252.
#include "platform/path_map.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A real folder tree under /tmp, standing for drive C.
class PathMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "path_map_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        m_paths.set_drive('C', m_root);
    }
    void TearDown() override
    {
        std::error_code error;
        fs::remove_all(m_root, error);
    }
    void make_file(const std::string& relative)
    {
        fs::path path = fs::path(m_root) / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "x";
    }
    std::string under_root(const std::string& relative) const { return m_root + "/" + relative; }

    std::string m_root;
    platform::PathMap m_paths { std::string() };
};

TEST_F(PathMapTest, MapsDriveLettersOfEitherCase)
{
    EXPECT_EQ(m_paths.to_system("c:\\nubrado\\temp\\result"), under_root("nubrado/temp/result"));
    EXPECT_EQ(m_paths.to_system("C:\\nubrado"), under_root("nubrado"));
    EXPECT_EQ(m_paths.to_system("c:nubrado"), under_root("nubrado"));
    EXPECT_EQ(m_paths.to_system("c:"), m_root);
    EXPECT_EQ(m_paths.to_system("c:\\"), m_root + "/");
    EXPECT_EQ(m_paths.to_system("c:/nubrado/x"), under_root("nubrado/x"));

    // A drive that is not mapped names no file, as on a machine without it.
    EXPECT_EQ(m_paths.to_system("q:\\x"), "");
    ASSERT_TRUE(m_paths.set_drive('q', m_root + "/drive_q"));
    EXPECT_EQ(m_paths.to_system("Q:\\x"), under_root("drive_q/x"));
    EXPECT_EQ(m_paths.drive_root('Q'), under_root("drive_q"));
    ASSERT_TRUE(m_paths.set_drive('q', ""));
    EXPECT_EQ(m_paths.to_system("q:\\x"), "");
    EXPECT_FALSE(m_paths.set_drive('1', "/tmp"));
    EXPECT_EQ(m_paths.drive_root('1'), "");
}

TEST_F(PathMapTest, NormalisesRootsOfDrives)
{
    ASSERT_TRUE(m_paths.set_drive('d', m_root + "//sub/./other/../"));
    EXPECT_EQ(m_paths.drive_root('d'), under_root("sub"));
    ASSERT_TRUE(m_paths.set_drive('e', "relative/folder"));
    EXPECT_EQ(m_paths.drive_root('e'), (fs::current_path() / "relative/folder").string());
}

TEST_F(PathMapTest, ResolvesDotsOnTheText)
{
    EXPECT_EQ(m_paths.to_system("c:\\a\\.\\b\\..\\c"), under_root("a/c"));
    // Windows stays at the root of a drive however many ".." follow.
    EXPECT_EQ(m_paths.to_system("c:\\..\\..\\x"), under_root("x"));
    // A folder that does not exist can still be left with "..".
    EXPECT_EQ(m_paths.to_system("c:\\missing\\..\\y"), under_root("y"));
    EXPECT_EQ(m_paths.to_system("c:\\a\\\\b"), under_root("a/b"));
    // Windows drops trailing dots and spaces of each component.
    EXPECT_EQ(m_paths.to_system("c:\\nota. \\texto."), under_root("nota/texto"));
    EXPECT_EQ(m_paths.to_system("c:\\...\\x"), under_root("x"));
}

TEST_F(PathMapTest, KeepsRelativePathsRelative)
{
    EXPECT_EQ(m_paths.to_system("..\\dados\\x.txt"), "../dados/x.txt");
    EXPECT_EQ(m_paths.to_system("a\\..\\..\\b"), "../b");
    EXPECT_EQ(m_paths.to_system("a\\b\\..\\..\\..\\..\\c"), "../../c");
    EXPECT_EQ(m_paths.to_system("."), ".");
    EXPECT_EQ(m_paths.to_system("sub\\"), "sub/");
}

TEST_F(PathMapTest, PassesPosixPathsThrough)
{
    EXPECT_EQ(m_paths.to_system("/home/u/.config/Lumera\\sub"), "/home/u/.config/Lumera/sub");
    EXPECT_EQ(m_paths.to_system("/"), "/");
    EXPECT_EQ(m_paths.to_system("/a/../../b"), "/b");
    // POSIX names may end in dots: only Windows paths lose them.
    EXPECT_EQ(m_paths.to_system("/tmp/name."), "/tmp/name.");
    EXPECT_EQ(m_paths.to_system(under_root("x")), under_root("x"));
}

TEST_F(PathMapTest, RootOfTheCurrentDriveIsDriveC)
{
    EXPECT_EQ(m_paths.to_system("\\kestra\\bertatts\\"), under_root("kestra/bertatts/"));
    EXPECT_EQ(m_paths.to_system("\\\\server\\share"), under_root("server/share"));
}

TEST_F(PathMapTest, FallsBackToCaseInsensitiveMatches)
{
    make_file("Nubrado/Temp/Result.TXT");
    EXPECT_EQ(m_paths.to_system("c:\\NUBRADO\\temp\\result.txt"), under_root("Nubrado/Temp/Result.TXT"));
    // What does not exist yet is kept as written, below the folders found.
    EXPECT_EQ(m_paths.to_system("c:\\nubrado\\TEMP\\Novo\\arq.txt"), under_root("Nubrado/Temp/Novo/arq.txt"));
    EXPECT_EQ(m_paths.to_system("c:\\nubrado\\temp\\"), under_root("Nubrado/Temp/"));
    EXPECT_EQ(m_paths.to_system(m_root + "/nubrado\\temp"), under_root("Nubrado/Temp"));

    // An exact match wins; among several others the first in byte order.
    make_file("ab");
    make_file("AB");
    EXPECT_EQ(m_paths.to_system("c:\\ab"), under_root("ab"));
    EXPECT_EQ(m_paths.to_system("c:\\AB"), under_root("AB"));
    EXPECT_EQ(m_paths.to_system("c:\\aB"), under_root("AB"));
}

TEST_F(PathMapTest, MatchesRelativePathsInTheCurrentDirectory)
{
    make_file("Dados/Lista.txt");
    std::error_code error;
    fs::path previous = fs::current_path();
    fs::current_path(m_root + "/Dados");
    std::string mapped = m_paths.to_system("..\\dados\\LISTA.TXT");
    std::string plain = m_paths.to_system("lista.txt");
    fs::current_path(previous, error);
    EXPECT_EQ(mapped, "../Dados/Lista.txt");
    EXPECT_EQ(plain, "Lista.txt");
}

TEST_F(PathMapTest, ConvertsWindows1252NamesToUtf8)
{
    // A new name: written by the script in Windows-1252, created in UTF-8.
    EXPECT_EQ(m_paths.to_system("c:\\ma\xE7\xE3"), under_root("ma\xC3\xA7\xC3\xA3"));
    // An existing UTF-8 name, found whatever the case of its accented letter.
    make_file("caf\xC3\xA9/x");
    EXPECT_EQ(m_paths.to_system("c:\\CAF\xC9\\x"), under_root("caf\xC3\xA9/x"));
    // A name left in Latin-1 by an older system is matched byte for byte.
    make_file("Latin\xE9");
    EXPECT_EQ(m_paths.to_system("c:\\latin\xC9"), under_root("Latin\xE9"));
    // The euro sign and the small letters of the 0x80 row.
    make_file("\xE2\x82\xAC\xC5\xA1");
    EXPECT_EQ(m_paths.to_system("c:\\\x80\x8A"), under_root("\xE2\x82\xAC\xC5\xA1"));
}

TEST_F(PathMapTest, RefusesPathsThatCannotNameAFile)
{
    EXPECT_EQ(m_paths.to_system(""), "");
    EXPECT_EQ(m_paths.to_system(std::string("c:\\a\0b", 6)), "");
    EXPECT_EQ(m_paths.to_system(std::string(40000, 'a')), "");
}

TEST_F(PathMapTest, SurvivesOddInput)
{
    std::string deep;
    for (int i = 0; i < 8000; ++i)
        deep += "a\\";
    std::string mapped = m_paths.to_system("c:\\" + deep);
    EXPECT_TRUE(mapped.starts_with(m_root + "/a/a/"));
    EXPECT_EQ(mapped.size(), m_root.size() + 1 + 16000);

    std::string all_bytes = "c:\\";
    for (int byte = 1; byte < 256; ++byte)
        all_bytes += static_cast<char>(byte);
    std::string result = m_paths.to_system(all_bytes);
    EXPECT_TRUE(result.starts_with(m_root + "/"));

    EXPECT_EQ(m_paths.to_system("\\"), m_root + "/");
    EXPECT_EQ(m_paths.to_system(":"), ":");
    EXPECT_EQ(m_paths.to_system("c:\\a:b"), under_root("a:b"));
}

TEST_F(PathMapTest, SendsTheNullDeviceNowhere)
{
    EXPECT_EQ(m_paths.to_system("nul"), "/dev/null");
    EXPECT_EQ(m_paths.to_system("c:\\temp\\NUL.txt"), "/dev/null");
    EXPECT_EQ(m_paths.to_system("c:\\null"), under_root("null"));
}

TEST_F(PathMapTest, GivesTheWindowsFormOfSystemPaths)
{
    EXPECT_EQ(m_paths.to_windows(under_root("Nubrado/Temp")), "c:\\Nubrado\\Temp");
    EXPECT_EQ(m_paths.to_windows(m_root), "c:\\");
    EXPECT_EQ(m_paths.to_windows(m_root + "/"), "c:\\");
    EXPECT_EQ(m_paths.to_windows(under_root("caf\xC3\xA9")), "c:\\caf\xE9");
    EXPECT_EQ(m_paths.to_windows("/elsewhere/caf\xC3\xA9"), "/elsewhere/caf\xE9");
    EXPECT_EQ(m_paths.to_windows("dados/x.txt"), "dados\\x.txt");
    // A folder that only starts like the root is not on the drive.
    EXPECT_EQ(m_paths.to_windows(m_root + "x/y"), m_root + "x/y");
    // A drive inside another: the longer root names the path.
    ASSERT_TRUE(m_paths.set_drive('d', under_root("dados")));
    EXPECT_EQ(m_paths.to_windows(under_root("dados/x")), "d:\\x");
}

TEST_F(PathMapTest, RoundTripsExistingPaths)
{
    make_file("Som/Letras/_VELOC.wav");
    make_file("caf\xC3\xA9/n\xC3\xA3o.txt");
    for (const char* relative : { "Som/Letras/_VELOC.wav", "caf\xC3\xA9/n\xC3\xA3o.txt" }) {
        std::string system = under_root(relative);
        EXPECT_EQ(m_paths.to_system(m_paths.to_windows(system)), system);
    }
    std::string outside = "/definitely/not/a/drive";
    EXPECT_EQ(m_paths.to_system(m_paths.to_windows(outside)), outside);
}

// Whatever a script builds, a path on a drive stays below that drive's root
// and the result holds no "." or ".." component that the system would
// resolve differently.
TEST_F(PathMapTest, RandomPathsStayBelowTheirRoot)
{
    make_file("Alfa/beta/Gama.txt");
    const char* pieces[] = { "..", ".", "...", "alfa", "BETA", "gama.txt", "\\", "/", "\\\\", " ", ".. ", "c:", "\xE9", "\x80", "nul" };
    std::mt19937 random(20261208);
    for (int round = 0; round < 3000; ++round) {
        std::string path = (round % 3 == 0) ? "c:\\" : (round % 3 == 1) ? "\\" : "/x/";
        int count = static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i)
            path += pieces[random() % std::size(pieces)];
        std::string mapped = m_paths.to_system(path);
        ASSERT_FALSE(mapped.empty()) << path;
        if (mapped == "/dev/null")
            continue;
        if (round % 3 != 2) {
            EXPECT_TRUE(mapped == m_root || mapped.starts_with(m_root + "/")) << path << " -> " << mapped;
        }
        std::string padded = "/" + mapped + "/";
        EXPECT_EQ(padded.find("/../"), std::string::npos) << path << " -> " << mapped;
        EXPECT_EQ(padded.find("/./"), std::string::npos) << path << " -> " << mapped;
        EXPECT_EQ(mapped.find("//"), std::string::npos) << path << " -> " << mapped;
    }
}

}
