// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a script file: line ends, the text encoding and the runner's limits.
#include "app/script_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using Lines = std::vector<std::string>;

TEST(ScriptFile, SplitsAtLineFeedsAndDropsTheCarriageReturnBefore)
{
    EXPECT_EQ(*app::split_script_text("a\r\nb\nc"), (Lines { "a", "b", "c" }));
    EXPECT_EQ(*app::split_script_text("a\n\nb\n"), (Lines { "a", "", "b" }));
    EXPECT_EQ(*app::split_script_text(""), Lines {});
    // A lone CR is no line end, and only one CR is dropped.
    EXPECT_EQ(*app::split_script_text("a\rb\r\r\n"), (Lines { "a\rb\r" }));
}

TEST(ScriptFile, ConvertsUtf8WithAccentsAndKeepsWindows1252)
{
    EXPECT_EQ(*app::split_script_text("seja a \"a\xC3\xA7\xC3\xA3o\"\n"), Lines { "seja a \"a\xE7\xE3o\"" });
    // Bytes that are not valid UTF-8 are taken as Windows-1252 already.
    EXPECT_EQ(*app::split_script_text("seja a \"a\xE7\xE3o\"\n"), Lines { "seja a \"a\xE7\xE3o\"" });
    EXPECT_EQ(*app::split_script_text("plain\n"), Lines { "plain" });
}

TEST(ScriptFile, AcceptsFiveThousandLinesAndNoMore)
{
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "*\n";
    auto lines = app::split_script_text(text);
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->size(), 5000u);
    auto too_many = app::split_script_text(text + "escreve 1");
    ASSERT_FALSE(too_many);
    EXPECT_NE(too_many.error().message.find("5000"), std::string::npos) << too_many.error().message;
}

TEST(ScriptFile, RefusesALineLongerThanTheLimit)
{
    std::string line(app::max_script_line_length, 'x');
    EXPECT_TRUE(app::split_script_text(line + "\n"));
    auto too_long = app::split_script_text("*\n" + line + "x\n");
    ASSERT_FALSE(too_long);
    EXPECT_NE(too_long.error().message.find("line 2"), std::string::npos) << too_long.error().message;
}

TEST(ScriptFile, ReportsMissingFilesAndFolders)
{
    auto folder = std::filesystem::temp_directory_path() / "corvante-script-file-test";
    std::filesystem::create_directories(folder);
    auto missing = app::read_script_file((folder / "nao_existe.cor").string());
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().message.find("nao_existe.cor"), std::string::npos);
    auto directory = app::read_script_file(folder.string());
    ASSERT_FALSE(directory);
    EXPECT_NE(directory.error().message.find("directory"), std::string::npos);
    {
        std::ofstream file(folder / "ok.cor", std::ios::binary);
        file << "escreve 1\r\nescreve 2\r\n";
    }
    auto read = app::read_script_file((folder / "ok.cor").string());
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, (Lines { "escreve 1", "escreve 2" }));
    std::filesystem::remove_all(folder);
}

}
