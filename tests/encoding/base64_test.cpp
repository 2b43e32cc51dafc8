// SPDX-License-Identifier: GPL-3.0-or-later
// Base64 of texts and files, checked against coreutils' base64 and Python's base64 module.
#include "encoding/base64.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

using namespace encoding;
using test_support::ScratchFolder;

namespace {

std::string to_crlf_lines(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

}

TEST(Base64, EdgeCasesOfPaddingAndLeniency)
{
    EXPECT_EQ(encode_base64(""), "");
    EXPECT_EQ(encode_base64("a"), "YQ==");
    EXPECT_EQ(encode_base64("ab"), "YWI=");
    EXPECT_EQ(encode_base64("abc"), "YWJj");
    EXPECT_EQ(encode_base64(std::string_view("\xFF\xFE\x00", 3)), "//4A");
    EXPECT_EQ(decode_base64("YWI="), "ab");
    EXPECT_EQ(decode_base64("YW\r\nJj"), "abc");
    EXPECT_EQ(decode_base64(" Y W J j "), "abc");
    // The first "=" ends the data, whatever follows.
    EXPECT_EQ(decode_base64("YQ==YWJj"), "a");
    // Characters outside the alphabet are skipped, not errors.
    EXPECT_EQ(decode_base64("Y*W-J.j!"), "abc");
    // Unpadded trailing groups still give their bytes; a lone character none.
    EXPECT_EQ(decode_base64("YWI"), "ab");
    EXPECT_EQ(decode_base64("YQ"), "a");
    EXPECT_EQ(decode_base64("YWJjZ"), "abc");
    EXPECT_EQ(decode_base64(""), "");
}

// Random inputs of every length class go through coreutils' encoder and
// Python's decoder, so that neither direction only agrees with itself.
TEST(Base64, AgreesWithCoreutilsAndPythonOnRandomInputs)
{
    ScratchFolder scratch;
    std::mt19937 generator(20261208);
    constexpr int rounds = 40;
    std::vector<std::string> inputs;
    for (int round = 0; round < rounds; ++round) {
        inputs.push_back(test_support::random_bytes(generator, round < 10 ? 8 : 3000));
        std::string name = std::to_string(round);
        ScratchFolder::write(scratch / (name + ".bin"), inputs.back());
        ScratchFolder::write(scratch / (name + ".ours"), encode_base64(inputs.back()));
    }
    // One run of each tool for all the inputs: starting Python is slow.
    ASSERT_TRUE(ScratchFolder::run("cd " + scratch.quoted("") + " && for f in *.bin; do base64 -w 0 \"$f\" > \"${f%.bin}.coreutils\"; "
        + "base64 -w 76 \"$f\" > \"${f%.bin}.wrapped\"; done"));
    ASSERT_TRUE(ScratchFolder::run("python3 -c 'import base64,glob\nfor f in glob.glob(\"" + scratch.path().string()
        + "/*.ours\"): open(f[:-5] + \".python\", \"wb\").write(base64.b64decode(open(f, \"rb\").read(), validate=True))'"));
    for (int round = 0; round < rounds; ++round) {
        std::string name = std::to_string(round);
        const std::string& bytes = inputs[round];
        EXPECT_EQ(ScratchFolder::read(scratch / (name + ".ours")), ScratchFolder::read(scratch / (name + ".coreutils")))
            << "length " << bytes.size();
        EXPECT_EQ(ScratchFolder::read(scratch / (name + ".python")), bytes) << "length " << bytes.size();
        EXPECT_EQ(decode_base64(to_crlf_lines(ScratchFolder::read(scratch / (name + ".wrapped")))), bytes);
    }
}

// The file form writes 64-character lines with CR LF, whatever the pieces
// the bytes arrive in; coreutils' "-w 64" output is the same text with LF.
TEST(Base64, LineEncoderMatchesCoreutilsWrappingForAnyPieces)
{
    ScratchFolder scratch;
    std::mt19937 generator(7);
    std::vector<size_t> lengths = { 0, 1, 47, 48, 49, 96, 1024, 1025, 5000 };
    for (size_t length : lengths) {
        std::string bytes = test_support::random_bytes(generator, 0);
        std::uniform_int_distribution<int> byte_of(0, 255);
        bytes.resize(length);
        for (char& c : bytes)
            c = static_cast<char>(byte_of(generator));
        ScratchFolder::write(scratch / "in.bin", bytes);
        ASSERT_TRUE(ScratchFolder::run("base64 -w 64 " + scratch.quoted("in.bin") + " > " + scratch.quoted("out.txt")));
        std::string expected = to_crlf_lines(ScratchFolder::read(scratch / "out.txt"));

        Base64LineEncoder encoder;
        std::string out;
        std::uniform_int_distribution<size_t> piece_of(1, 100);
        for (size_t index = 0; index < bytes.size();) {
            size_t piece = std::min(piece_of(generator), bytes.size() - index);
            encoder.feed(std::string_view(bytes).substr(index, piece), out);
            index += piece;
        }
        encoder.finish(out);
        EXPECT_EQ(out, expected) << "length " << length;

        Base64Decoder decoder;
        std::string decoded;
        for (size_t index = 0; index < out.size(); index += 13)
            decoder.feed(std::string_view(out).substr(index, 13), decoded);
        decoder.finish(decoded);
        EXPECT_EQ(decoded, bytes) << "length " << length;
    }
}
