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

// What editors save: a byte-order mark in front, in UTF-8 or in UTF-16 of
// either byte order, gives the same lines as the plain file.
TEST(ScriptFile, ReadsTheByteOrderMarksEditorsWrite)
{
    auto utf16 = [](std::u16string_view text, bool little_endian) {
        std::string bytes = little_endian ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t unit : text) {
            char low = static_cast<char>(unit & 0xFF);
            char high = static_cast<char>(unit >> 8);
            bytes += little_endian ? std::string { low, high } : std::string { high, low };
        }
        return bytes;
    };
    const Lines expected { "ESCREVE \"a\xE7\xE3o\"", "fim" };
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        { "UTF-8 mark", "\xEF\xBB\xBF" "ESCREVE \"a\xC3\xA7\xC3\xA3o\"\r\nfim\r\n" },
        { "UTF-16 LE", utf16(u"ESCREVE \"a\u00E7\u00E3o\"\r\nfim\r\n", true) },
        { "UTF-16 BE", utf16(u"ESCREVE \"a\u00E7\u00E3o\"\nfim", false) },
    };
    for (const auto& c : cases) {
        auto lines = app::split_script_text(c.bytes);
        ASSERT_TRUE(lines) << c.name << ": " << lines.error().message;
        EXPECT_EQ(*lines, expected) << c.name;
    }
    // The mark of plain ASCII text, and a character beyond the first plane
    // (a surrogate pair), which has no Windows-1252 byte.
    EXPECT_EQ(*app::split_script_text("\xEF\xBB\xBF" "fim"), Lines { "fim" });
    auto beyond = app::split_script_text(utf16(u"a\U0001F600b", true));
    ASSERT_TRUE(beyond);
    ASSERT_EQ(beyond->size(), 1u);
    EXPECT_EQ((*beyond)[0].size(), 3u) << (*beyond)[0];
    EXPECT_EQ((*beyond)[0].front(), 'a');
    EXPECT_EQ((*beyond)[0].back(), 'b');
}

TEST(ScriptFile, RefusesNulBytesAsNotAScript)
{
    const std::string cases[] = {
        std::string("escreve 1\n\0\0\0", 13),
        std::string("\x7F" "ELF\x02\x01\x01\0\0\0", 10),
        std::string("\xFF\xFE" "a\0\0\0", 6), // U+0000 in UTF-16
        std::string("\xFF\xFE" "a\0b", 5), // half a UTF-16 character
    };
    for (const auto& bytes : cases) {
        auto lines = app::split_script_text(bytes);
        ASSERT_FALSE(lines) << bytes.size();
        EXPECT_NE(lines.error().message.find("not a script"), std::string::npos) << lines.error().message;
    }
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
    // A device is no script, even one that reads as endless text.
    for (const char* device : { "/dev/zero", "/dev/null" }) {
        auto refused = app::read_script_file(device);
        ASSERT_FALSE(refused) << device;
        EXPECT_NE(refused.error().message.find("not a script"), std::string::npos) << refused.error().message;
    }
    std::filesystem::remove_all(folder);
}

}
