// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync_engine.h"
#include "temporary_folder.h"

#include <gtest/gtest.h>

using namespace cloud;
using cloud::testing::read_file;
using cloud::testing::TemporaryFolder;
using cloud::testing::write_file;
namespace fs = std::filesystem;

namespace {

void set_age(const fs::path& path, int seconds_ago)
{
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(seconds_ago));
}

}

TEST(SyncEngine, FirstPassJoinsBothSidesAndDeletesNothing)
{
    TemporaryFolder folder;
    auto local = folder.path() / "local", remote = folder.path() / "remote";
    write_file(local / "só local.txt", "L");
    write_file(local / "pasta" / "dentro.txt", "D");
    write_file(remote / "só remoto.txt", "R");
    SyncSnapshot snapshot;
    auto counts = sync_pass(local, remote, snapshot);
    EXPECT_EQ(counts.copied, 3);
    EXPECT_EQ(counts.deleted, 0);
    EXPECT_EQ(read_file(remote / "só local.txt"), "L");
    EXPECT_EQ(read_file(remote / "pasta" / "dentro.txt"), "D");
    EXPECT_EQ(read_file(local / "só remoto.txt"), "R");
    // A second pass with nothing changed copies nothing.
    EXPECT_EQ(sync_pass(local, remote, snapshot).copied, 0);
}

TEST(SyncEngine, NewerCopyWinsBothWays)
{
    TemporaryFolder folder;
    auto local = folder.path() / "local", remote = folder.path() / "remote";
    write_file(local / "a.txt", "old");
    write_file(local / "b.txt", "old");
    fs::create_directories(remote);
    SyncSnapshot snapshot;
    sync_pass(local, remote, snapshot);
    write_file(local / "a.txt", "changed here");
    write_file(remote / "b.txt", "changed there");
    set_age(local / "b.txt", 100);
    set_age(remote / "a.txt", 100);
    EXPECT_EQ(sync_pass(local, remote, snapshot).copied, 2);
    EXPECT_EQ(read_file(remote / "a.txt"), "changed here");
    EXPECT_EQ(read_file(local / "b.txt"), "changed there");
}

TEST(SyncEngine, DeletionsFollowOnTheOtherSide)
{
    TemporaryFolder folder;
    auto local = folder.path() / "local", remote = folder.path() / "remote";
    write_file(local / "keep.txt", "k");
    write_file(local / "gone.txt", "g");
    write_file(local / "dir" / "x.txt", "x");
    fs::create_directories(remote);
    SyncSnapshot snapshot;
    sync_pass(local, remote, snapshot);
    fs::remove(local / "gone.txt");
    fs::remove_all(remote / "dir");
    auto counts = sync_pass(local, remote, snapshot);
    EXPECT_EQ(counts.deleted, 2);
    EXPECT_FALSE(fs::exists(remote / "gone.txt"));
    EXPECT_FALSE(fs::exists(local / "dir"));
    EXPECT_TRUE(fs::exists(remote / "keep.txt"));
    EXPECT_TRUE(fs::exists(local / "keep.txt"));
}

TEST(SyncEngine, LinksAreNeverFollowedNorCopied)
{
    TemporaryFolder folder;
    auto local = folder.path() / "local", remote = folder.path() / "remote";
    write_file(folder.path() / "outside" / "secret.txt", "s");
    fs::create_directories(local);
    fs::create_directories(remote);
    fs::create_directory_symlink(folder.path() / "outside", local / "escape");
    fs::create_symlink(folder.path() / "outside" / "secret.txt", local / "secret-link");
    SyncSnapshot snapshot;
    EXPECT_EQ(sync_pass(local, remote, snapshot).copied, 0);
    EXPECT_TRUE(fs::is_empty(remote));
}

TEST(SyncEngine, MissingRootDoesNothing)
{
    TemporaryFolder folder;
    write_file(folder.path() / "remote" / "a", "a");
    SyncSnapshot snapshot;
    snapshot.entries["a"] = false;
    auto counts = sync_pass(folder.path() / "no such", folder.path() / "remote", snapshot);
    EXPECT_EQ(counts.deleted, 0);
    EXPECT_TRUE(fs::exists(folder.path() / "remote" / "a"));
}
