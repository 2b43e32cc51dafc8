// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows-1252 / UTF-8 codec against Python's own codecs, on random input.
#include "base/text_encoding.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>

namespace {

// The five bytes the code page leaves undefined; the codec maps them to the
// C1 controls of the same value, where Python's codec refuses them.
bool is_undefined_byte(uint8_t byte)
{
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

class PythonCodec {
public:
    PythonCodec()
        : m_folder(std::filesystem::temp_directory_path() / ("codec_test_" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(m_folder);
    }
    ~PythonCodec() { std::filesystem::remove_all(m_folder); }

    // Runs a Python expression over the bytes of `input` (as `data`) and
    // returns the bytes it produces; nothing when python3 is missing.
    std::optional<std::string> run(const std::string& input, const std::string& expression)
    {
        auto in = m_folder / "in";
        auto out = m_folder / "out";
        std::ofstream(in, std::ios::binary) << input;
        std::string command = "python3 -c \"import sys; data = open(sys.argv[1], 'rb').read(); "
                              "open(sys.argv[2], 'wb').write("
            + expression + ")\" '" + in.string() + "' '" + out.string() + "'";
        if (std::system(command.c_str()) != 0)
            return std::nullopt;
        std::ifstream file(out, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

private:
    std::filesystem::path m_folder;
};

std::string random_windows1252(std::mt19937& random, size_t length, bool defined_only)
{
    std::string text;
    while (text.size() < length) {
        auto byte = static_cast<uint8_t>(random() & 0xFF);
        if (defined_only && is_undefined_byte(byte))
            continue;
        text += static_cast<char>(byte);
    }
    return text;
}

}

TEST(TextEncoding, Windows1252ToUtf8AgreesWithPython)
{
    PythonCodec python;
    std::mt19937 random(1252);
    for (int round = 0; round < 4; ++round) {
        auto text = random_windows1252(random, 4000, true);
        auto expected = python.run(text, "data.decode('cp1252').encode('utf-8')");
        if (!expected)
            GTEST_SKIP() << "python3 is not installed";
        EXPECT_EQ(base::windows1252_to_utf8(text), *expected);
    }
}

TEST(TextEncoding, UndefinedBytesSurviveTheRoundTrip)
{
    std::string every_byte;
    for (int byte = 1; byte < 256; ++byte)
        every_byte += static_cast<char>(byte);
    auto utf8 = base::windows1252_to_utf8(every_byte);
    EXPECT_EQ(base::utf8_to_windows1252(utf8), every_byte);
    EXPECT_EQ(base::windows1252_to_utf8("\x81"), "\xC2\x81");
}

TEST(TextEncoding, Utf8ToWindows1252AgreesWithPythonOnRandomCharacters)
{
    PythonCodec python;
    std::mt19937 random(65001);
    // Characters from every plane: ASCII, Latin-1, the code page's 0x80 row
    // (curly quotes, the euro sign), other scripts, and emoji past the
    // basic plane, which has no Windows-1252 byte and no three-byte form.
    std::uniform_int_distribution<int> pick(0, 5);
    const char32_t row_0x80[] = { 0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
        0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC,
        0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178 };
    for (int round = 0; round < 4; ++round) {
        std::string utf8;
        for (int count = 0; count < 2000; ++count) {
            char32_t code;
            switch (pick(random)) {
            case 0: code = 0x20 + random() % 0x5F; break;
            case 1: code = 0xA0 + random() % 0x60; break;
            case 2: code = row_0x80[random() % std::size(row_0x80)]; break;
            case 3: code = 0x100 + random() % 0xD000; break;
            case 4: code = 0x10000 + random() % 0x100000; break;
            default: code = 0xE000 + random() % 0x2000; break;
            }
            if (code >= 0xD800 && code <= 0xDFFF)
                code = 'x';
            base::append_utf8(utf8, code);
        }
        auto expected = python.run(utf8, "data.decode('utf-8').encode('cp1252', errors='replace')");
        if (!expected)
            GTEST_SKIP() << "python3 is not installed";
        // Python's decoder is also the judge of the encoder: the UTF-8 written
        // above must be exactly what Python writes for the same characters.
        auto reencoded = python.run(utf8, "data.decode('utf-8').encode('utf-8')");
        ASSERT_TRUE(reencoded);
        EXPECT_EQ(*reencoded, utf8);
        EXPECT_EQ(base::utf8_to_windows1252(utf8), *expected);
    }
}

TEST(TextEncoding, TextThatIsNotUtf8IsTakenAsWindows1252)
{
    EXPECT_EQ(base::utf8_to_windows1252("ol\xE1"), "ol\xE1"); // a lone Latin-1 byte
    EXPECT_EQ(base::utf8_to_windows1252("\xC3\xA1\xE1"), "\xC3\xA1\xE1"); // mixed
    EXPECT_EQ(base::utf8_to_windows1252("\xED\xA0\x80"), "\xED\xA0\x80"); // a surrogate
    EXPECT_EQ(base::utf8_to_windows1252("\xC0\xA1"), "\xC0\xA1"); // an overlong form
    EXPECT_EQ(base::utf8_to_windows1252("\xF0\x9F\x98\x80"), "?");
}

TEST(TextEncoding, Latin1BytesAreTheirOwnCodePoints)
{
    // 0x80 to 0x9F are C1 controls in Latin-1, not the Windows-1252 letters.
    EXPECT_EQ(base::latin1_to_utf8("a\xE1\x80\xFF"), "a\xC3\xA1\xC2\x80\xC3\xBF");
    EXPECT_EQ(base::latin1_to_utf8(""), "");
}
