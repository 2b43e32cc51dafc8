// SPDX-License-Identifier: GPL-3.0-or-later
// The quoted-printable escape of texts, checked against Python's quopri module.
#include "encoding/quoted_printable.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

using namespace encoding;
using test_support::ScratchFolder;

TEST(QuotedPrintable, EscapesExactlyControlsEqualsAndHighBytes)
{
    EXPECT_EQ(add_quoted("a=b"), "a=3Db");
    EXPECT_EQ(add_quoted("\xE9"), "=E9");
    EXPECT_EQ(add_quoted(std::string_view("\x00\x1F \x7E\x7F", 5)), "=00=1F ~=7F");
    EXPECT_EQ(add_quoted("\r\n"), "=0D=0A");
    EXPECT_EQ(add_quoted(""), "");
}

TEST(QuotedPrintable, DecodesEitherCaseAndKeepsStrayEquals)
{
    EXPECT_EQ(remove_quoted("=E9"), "\xE9");
    EXPECT_EQ(remove_quoted("=e9"), "\xE9");
    EXPECT_EQ(remove_quoted("a="), "a");
    EXPECT_EQ(remove_quoted("="), "");
    EXPECT_EQ(remove_quoted("=G1x"), "=G1x");
    EXPECT_EQ(remove_quoted("=4"), "=4");
    EXPECT_EQ(remove_quoted("a=3D=3D"), "a==");
    // Only one final "=" is dropped.
    EXPECT_EQ(remove_quoted("a=="), "a=");
}

// Random bytes escaped by us must decode to themselves both with our decoder
// and with quopri's; and quopri's own escapes of random text decode with ours.
TEST(QuotedPrintable, AgreesWithPythonQuopriOnRandomInputs)
{
    ScratchFolder scratch;
    std::mt19937 generator(99);
    constexpr int rounds = 30;
    std::vector<std::string> inputs, short_texts;
    for (int round = 0; round < rounds; ++round) {
        inputs.push_back(test_support::random_bytes(generator, round < 5 ? 4 : 400));
        std::string escaped = add_quoted(inputs.back());
        EXPECT_EQ(remove_quoted(escaped), inputs.back());
        ScratchFolder::write(scratch / (std::to_string(round) + ".escaped"), escaped);
        // quopri breaks long lines with soft breaks ("=" and a line end);
        // a short line without line ends needs none.
        std::string short_text = inputs.back().substr(0, 15);
        for (char& c : short_text) {
            if (c == '\n' || c == '\r')
                c = 'x';
        }
        short_texts.push_back(short_text);
        ScratchFolder::write(scratch / (std::to_string(round) + ".plain"), short_text);
    }
    // One Python run for all the inputs: starting it is slow.
    ASSERT_TRUE(ScratchFolder::run("python3 -c 'import quopri,glob\nfor f in glob.glob(\"" + scratch.path().string()
        + "/*.escaped\"): open(f[:-8] + \".decoded\", \"wb\").write(quopri.decodestring(open(f, \"rb\").read()))\n"
        + "for f in glob.glob(\"" + scratch.path().string()
        + "/*.plain\"): open(f[:-6] + \".quopri\", \"wb\").write(quopri.encodestring(open(f, \"rb\").read(), quotetabs=True))'"));
    for (int round = 0; round < rounds; ++round) {
        std::string name = std::to_string(round);
        EXPECT_EQ(ScratchFolder::read(scratch / (name + ".decoded")), inputs[round]) << add_quoted(inputs[round]);
        EXPECT_EQ(remove_quoted(ScratchFolder::read(scratch / (name + ".quopri"))), short_texts[round])
            << ScratchFolder::read(scratch / (name + ".quopri"));
    }
}
