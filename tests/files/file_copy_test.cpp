// SPDX-License-Identifier: GPL-3.0-or-later
// REPLICA's copy: whole files, onto itself, and failures that leave the destination alone.
#include "files/file_copy.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace files;
using test_support::ScratchFolder;

namespace {

size_t entry_count(const std::filesystem::path& folder)
{
    size_t count = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

}

TEST(FileCopy, CopiesEveryByteAcrossPieces)
{
    ScratchFolder scratch;
    std::mt19937 generator(3);
    std::string bytes = test_support::random_bytes(generator, 0);
    bytes.resize(copy_piece_size * 2 + 17);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(generator());
    ScratchFolder::write(scratch / "source.bin", bytes);
    ScratchFolder::write(scratch / "old.bin", "old contents that are longer than nothing");
    EXPECT_EQ(copy_file_in_pieces(scratch / "source.bin", scratch / "old.bin"), CopyOutcome::copied);
    EXPECT_EQ(ScratchFolder::read(scratch / "old.bin"), bytes);
    ScratchFolder::write(scratch / "empty.bin", "");
    EXPECT_EQ(copy_file_in_pieces(scratch / "empty.bin", scratch / "copy.bin"), CopyOutcome::copied);
    EXPECT_TRUE(std::filesystem::exists(scratch / "copy.bin"));
    EXPECT_EQ(ScratchFolder::read(scratch / "copy.bin"), "");
    EXPECT_EQ(entry_count(scratch.path()), 4u); // no partial file left behind
}

TEST(FileCopy, OntoItselfKeepsTheFile)
{
    ScratchFolder scratch;
    ScratchFolder::write(scratch / "same.txt", "precious");
    EXPECT_EQ(copy_file_in_pieces(scratch / "same.txt", scratch / "same.txt"), CopyOutcome::copied);
    EXPECT_EQ(copy_file_in_pieces(scratch / "same.txt", scratch / "." / "same.txt"), CopyOutcome::copied);
    EXPECT_EQ(ScratchFolder::read(scratch / "same.txt"), "precious");
}

TEST(FileCopy, BadSourcesAndDestinationsFailWithoutTouchingAnything)
{
    ScratchFolder scratch;
    ScratchFolder::write(scratch / "source.txt", "data");
    ScratchFolder::write(scratch / "dest.txt", "before");
    EXPECT_EQ(copy_file_in_pieces(scratch / "missing.txt", scratch / "dest.txt"), CopyOutcome::cannot_open);
    EXPECT_EQ(copy_file_in_pieces(scratch.path(), scratch / "dest.txt"), CopyOutcome::cannot_open);
    if (std::filesystem::exists("/dev/zero")) {
        EXPECT_EQ(copy_file_in_pieces("/dev/zero", scratch / "dest.txt"), CopyOutcome::cannot_open);
    }
    EXPECT_EQ(copy_file_in_pieces(scratch / "source.txt", scratch.path()), CopyOutcome::cannot_open);
    EXPECT_EQ(copy_file_in_pieces(scratch / "source.txt", scratch / "no-folder" / "x.txt"), CopyOutcome::cannot_open);
    EXPECT_EQ(copy_file_in_pieces("", scratch / "dest.txt"), CopyOutcome::cannot_open);
    EXPECT_EQ(copy_file_in_pieces(scratch / "source.txt", ""), CopyOutcome::cannot_open);
    EXPECT_EQ(ScratchFolder::read(scratch / "dest.txt"), "before");
    EXPECT_EQ(ScratchFolder::read(scratch / "source.txt"), "data");
    EXPECT_EQ(entry_count(scratch.path()), 2u);
}

// A full disk, made with a file-size limit in a child process: the copy
// reports a write failure, the old destination survives whole, the source
// is intact and no partial file is left.
TEST(FileCopy, FullDiskReportsFailureAndKeepsDestination)
{
    ScratchFolder scratch;
    std::string bytes(200000, 'z');
    ScratchFolder::write(scratch / "big.bin", bytes);
    ScratchFolder::write(scratch / "dest.bin", "previous");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit { 65536, 65536 };
        setrlimit(RLIMIT_FSIZE, &limit);
        auto outcome = copy_file_in_pieces(scratch / "big.bin", scratch / "dest.bin");
        _exit(outcome == CopyOutcome::write_failed ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the copy did not report the write failure";
    EXPECT_EQ(ScratchFolder::read(scratch / "dest.bin"), "previous");
    EXPECT_EQ(ScratchFolder::read(scratch / "big.bin"), bytes);
    EXPECT_EQ(entry_count(scratch.path()), 2u);
}

// The copy is written beside the destination under a short hidden name, so
// a destination name at the file system's length limit still works.
TEST(FileCopy, DestinationAtTheNameLengthLimit)
{
    ScratchFolder scratch;
    ScratchFolder::write(scratch / "source.txt", "data");
    std::string longest(255, 'n');
    EXPECT_EQ(copy_file_in_pieces(scratch / "source.txt", scratch / longest), CopyOutcome::copied);
    EXPECT_EQ(ScratchFolder::read(scratch / longest), "data");
    EXPECT_EQ(copy_file_in_pieces(scratch / "source.txt", scratch / (longest + "x")), CopyOutcome::cannot_open);
    EXPECT_EQ(entry_count(scratch.path()), 2u);
}
