// SPDX-License-Identifier: GPL-3.0-or-later
// The shared byte buffer and the binary output file.
#include "files/binary_files.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

using namespace files;
using test_support::ScratchFolder;

TEST(BinaryFiles, StartsEmptyAndGrowsOnlyAsBytesArrive)
{
    BinaryFiles binary;
    EXPECT_EQ(binary.count(), 0u);
    EXPECT_EQ(binary.reserved(), 0u);
    ASSERT_TRUE(binary.append("abc"));
    EXPECT_EQ(binary.bytes(), "abc");
    EXPECT_LT(binary.reserved(), 1024u);
    binary.clear();
    EXPECT_EQ(binary.count(), 0u);
    EXPECT_EQ(binary.reserved(), 0u);
}

// Filling the buffer to its capacity works; one more byte fails and leaves
// the buffer as it was, and the memory never passes the capacity.
TEST(BinaryFiles, AppendingPastTheCapacityFailsWithoutWriting)
{
    BinaryFiles binary;
    std::string mebibyte(1 << 20, 'x');
    while (binary.count() + mebibyte.size() <= BinaryFiles::slice_limit)
        ASSERT_TRUE(binary.append(mebibyte));
    ASSERT_EQ(binary.count(), BinaryFiles::slice_limit);

    ScratchFolder scratch;
    ScratchFolder::write(scratch / "small.bin", "0123456789");
    // A buffer holding exactly the slice limit takes no slice.
    EXPECT_FALSE(binary.append_slice(scratch / "small.bin", 0, 1));

    ASSERT_TRUE(binary.append("yz"));
    EXPECT_EQ(binary.count(), BinaryFiles::capacity);
    EXPECT_FALSE(binary.append("!"));
    EXPECT_FALSE(binary.append(mebibyte));
    EXPECT_EQ(binary.count(), BinaryFiles::capacity);
    EXPECT_EQ(binary.bytes().substr(binary.count() - 3), "xyz");
    EXPECT_LE(binary.reserved(), BinaryFiles::capacity);
}

TEST(BinaryFiles, SlicesFollowFirstAndLastPositions)
{
    ScratchFolder scratch;
    auto file = scratch / "data.bin";
    ScratchFolder::write(file, "0123456789");
    BinaryFiles binary;
    ASSERT_TRUE(binary.append_slice(file, 0, 4));
    EXPECT_EQ(binary.bytes(), "0123");
    ASSERT_TRUE(binary.append_slice(file, 2, 2));
    EXPECT_EQ(binary.bytes(), "01232");
    // A slice reaching past the end takes what the file has.
    ASSERT_TRUE(binary.append_slice(file, 8, 100));
    EXPECT_EQ(binary.bytes(), "0123289");
    EXPECT_FALSE(binary.append_slice(file, 5, 4));      // last before first
    EXPECT_FALSE(binary.append_slice(file, 10, 12));    // first at the end
    EXPECT_FALSE(binary.append_slice(file, -1, 2));     // before the start
    EXPECT_FALSE(binary.append_slice(scratch / "missing", 0, 1));
    EXPECT_FALSE(binary.append_slice(scratch.path(), 0, 1)); // a directory
    EXPECT_EQ(binary.bytes(), "0123289");
}

TEST(BinaryFiles, OutputFileIsNewAndWrittenFromTheCount)
{
    ScratchFolder scratch;
    auto existing = scratch / "existing.bin";
    ScratchFolder::write(existing, "keep");
    BinaryFiles binary;
    EXPECT_FALSE(binary.create_output(existing));
    EXPECT_EQ(ScratchFolder::read(existing), "keep");
    EXPECT_FALSE(binary.write_output());
    EXPECT_FALSE(binary.close_output());

    auto output = scratch / "new.bin";
    ASSERT_TRUE(binary.create_output(output));
    EXPECT_FALSE(binary.create_output(scratch / "second.bin"));
    ASSERT_TRUE(binary.append(std::string_view("a\0b", 3)));
    ASSERT_TRUE(binary.write_output());
    EXPECT_EQ(binary.count(), 0u);
    // Nothing new: the second write adds nothing.
    ASSERT_TRUE(binary.write_output());
    ASSERT_TRUE(binary.append("c"));
    ASSERT_TRUE(binary.write_output());
    ASSERT_TRUE(binary.close_output());
    EXPECT_EQ(ScratchFolder::read(output), std::string_view("a\0bc", 4));
    EXPECT_FALSE(std::filesystem::exists(scratch / "second.bin"));
}
