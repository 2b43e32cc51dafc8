// SPDX-License-Identifier: GPL-3.0-or-later
// Text files on channels: line ends, end of file, appending, and the channel table.
#include "files/channel_table.h"
#include "files/file_channel_stream.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

using namespace files;
using test_support::ScratchFolder;

TEST(FileChannel, ReadsLinesWithAnyEndAndBytesUnchanged)
{
    ScratchFolder scratch;
    constexpr char bytes[] = "um\r\ndois\nt\xEAs\rquatro\r\n\r\n\x00z";
    ScratchFolder::write(scratch / "lines.txt", std::string_view(bytes, sizeof bytes - 1));
    auto stream = FileChannelStream::open_for_reading(scratch / "lines.txt");
    ASSERT_TRUE(stream);
    std::vector<std::string> lines;
    std::string line;
    while (stream->read_line(line) == LineReadStatus::line)
        lines.push_back(line);
    std::vector<std::string> expected = { "um", "dois", "t\xEAs", "quatro", "", std::string("\0z", 2) };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(line, "");
    EXPECT_EQ(stream->read_line(line), LineReadStatus::end_of_input);
    EXPECT_TRUE(stream->close());
}

TEST(FileChannel, AppendsAndCreates)
{
    ScratchFolder scratch;
    auto path = scratch / "log.txt";
    for (int round = 0; round < 2; ++round) {
        auto stream = FileChannelStream::open_for_appending(path);
        ASSERT_TRUE(stream);
        EXPECT_TRUE(stream->write("a"));
        EXPECT_TRUE(stream->write("b\r\n"));
        EXPECT_TRUE(stream->close());
    }
    EXPECT_EQ(ScratchFolder::read(path), "ab\r\nab\r\n");
}

TEST(FileChannel, RefusesWhatIsNotAReadableFile)
{
    ScratchFolder scratch;
    EXPECT_FALSE(FileChannelStream::open_for_reading(scratch / "missing.txt"));
    EXPECT_FALSE(FileChannelStream::open_for_reading(scratch.path()));
    EXPECT_FALSE(FileChannelStream::open_for_appending(scratch.path()));
    EXPECT_FALSE(FileChannelStream::open_for_appending(scratch / "no-folder" / "x.txt"));
    EXPECT_FALSE(FileChannelStream::open_for_reading(""));
    if (std::filesystem::exists("/dev/zero")) {
        EXPECT_FALSE(FileChannelStream::open_for_reading("/dev/zero"));
    }
}

// A full device shows when the buffered bytes are flushed: at the close.
TEST(FileChannel, CloseReportsBytesThatCouldNotBeWritten)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    auto stream = FileChannelStream::open_for_appending("/dev/full");
    ASSERT_TRUE(stream);
    stream->write("lost\r\n");
    EXPECT_FALSE(stream->close());
}

TEST(ChannelTable, ReopeningReleasesAndClosingTwiceSucceeds)
{
    ScratchFolder scratch;
    ChannelTable table;
    EXPECT_FALSE(table.is_open(0));
    EXPECT_TRUE(table.close(3)); // never opened
    EXPECT_FALSE(table.close(10));
    EXPECT_EQ(table.stream(-1), nullptr);
    table.open(3, FileChannelStream::open_for_appending(scratch / "a.txt"));
    ASSERT_TRUE(table.is_open(3));
    table.stream(3)->write("first");
    // The earlier file is closed, so its bytes are in it.
    table.open(3, FileChannelStream::open_for_appending(scratch / "b.txt"));
    EXPECT_EQ(ScratchFolder::read(scratch / "a.txt"), "first");
    EXPECT_TRUE(table.close(3));
    EXPECT_FALSE(table.is_open(3));
    EXPECT_TRUE(table.close(3));
}
