// SPDX-License-Identifier: GPL-3.0-or-later
// UTF8PARAANSI's byte rule, checked against Python's UTF-8 encoder.
#include "encoding/ansi_conversion.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

using namespace encoding;
using test_support::ScratchFolder;

TEST(AnsiConversion, FoldsTwoByteSequencesAndPassesTheRest)
{
    EXPECT_EQ(fold_two_byte_utf8("\xC3\xA9"), "\xE9");
    EXPECT_EQ(fold_two_byte_utf8("caf\xC3\xA9!"), "caf\xE9!");
    // Three-byte sequences (here the euro sign) pass through raw.
    EXPECT_EQ(fold_two_byte_utf8("\xE2\x82\xAC"), "\xE2\x82\xAC");
    // A lead byte takes whatever follows it, even a plain letter.
    EXPECT_EQ(fold_two_byte_utf8("\xC3" "A"), "\xC1");
    // A lead byte at the end is combined with a space.
    EXPECT_EQ(fold_two_byte_utf8("a\xC3"), "a\xE0");
    // Single-byte text stays as it is.
    EXPECT_EQ(fold_two_byte_utf8("abc \xE9"), "abc \xE9");
    EXPECT_EQ(fold_two_byte_utf8(""), "");
}

// Every two-byte character, as Python encodes it, folds to the low eight
// bits of its code point: Latin-1 for U+0080..U+00FF.
TEST(AnsiConversion, EveryTwoByteCharacterGivesTheLowByteOfItsCode)
{
    ScratchFolder scratch;
    ASSERT_TRUE(ScratchFolder::run("python3 -c 'import sys; sys.stdout.buffer.write(\"\".join(chr(c) for c in range(0x80, 0x800)).encode(\"utf-8\"))' > "
        + scratch.quoted("all.txt")));
    std::string folded = fold_two_byte_utf8(ScratchFolder::read(scratch / "all.txt"));
    ASSERT_EQ(folded.size(), 0x800u - 0x80u);
    for (unsigned code = 0x80; code < 0x800; ++code)
        EXPECT_EQ(static_cast<uint8_t>(folded[code - 0x80]), code & 0xFF) << code;
}
