// SPDX-License-Identifier: GPL-3.0-or-later
// The shared directory search: files or folders, hidden names, order and its end.
#include "files/directory_search.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

using namespace files;
using test_support::ScratchFolder;

TEST(DirectorySearch, FindsEachMatchOnceInOrderThenEnds)
{
    ScratchFolder scratch;
    for (auto name : { "b.txt", "A.TXT", "c.dat", ".oculto.txt" })
        ScratchFolder::write(scratch / name, "x");
    std::filesystem::create_directory(scratch / "pasta.txt");
    DirectorySearch search;
    EXPECT_EQ(search.start(scratch.path(), "*.txt", DirectorySearch::Kind::files), "A.TXT");
    EXPECT_TRUE(search.is_active());
    EXPECT_EQ(search.next(), "b.txt");
    EXPECT_EQ(search.next(), "");
    EXPECT_FALSE(search.is_active());
    EXPECT_EQ(search.next(), "");

    EXPECT_EQ(search.start(scratch.path(), "*", DirectorySearch::Kind::directories), "pasta.txt");
    EXPECT_EQ(search.next(), "");
    EXPECT_EQ(search.start(scratch.path(), "PASTA.TXT", DirectorySearch::Kind::directories), "pasta.txt");
    EXPECT_EQ(search.start(scratch.path(), "falta", DirectorySearch::Kind::directories), "");
    EXPECT_FALSE(search.is_active());
}

TEST(DirectorySearch, MissingFolderFindsNothing)
{
    ScratchFolder scratch;
    DirectorySearch search;
    EXPECT_EQ(search.start(scratch / "missing", "*", DirectorySearch::Kind::files), "");
    ScratchFolder::write(scratch / "file", "x");
    EXPECT_EQ(search.start(scratch / "file", "*", DirectorySearch::Kind::files), "");
    search.end();
    EXPECT_FALSE(search.is_active());
}
