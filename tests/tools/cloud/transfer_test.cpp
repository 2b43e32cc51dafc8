// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer.h"
#include "temporary_folder.h"

#include <gtest/gtest.h>

using namespace cloud;
using cloud::testing::read_file;
using cloud::testing::TemporaryFolder;
using cloud::testing::write_file;
namespace fs = std::filesystem;

namespace {

// What the application's transfer monitor makes of a progress line, step by
// step as it cuts it: the total size and the percentage.
std::pair<std::string, std::string> cut_like_the_monitor(std::string text)
{
    text = text.substr(text.find('(') + 1);
    text = text.substr(0, text.size() - 4);
    text = text.substr(text.find('/') + 1);
    auto total = text.substr(0, text.find(' ') + 3);
    auto mark = text.find(" %");
    auto space = text.rfind(' ', mark - 1);
    auto percent = text.substr(space + 1);
    percent = percent.substr(0, percent.find('.')) + "%";
    return { total, percent };
}

}

TEST(Transfer, ProgressLinesCutIntoTotalAndPercentage)
{
    struct Case {
        uint64_t done, total;
        const char* size;
        const char* percent;
    };
    const Case cases[] = {
        { 0, 3 * 1024 * 1024, "3.00 MB", "0%" },
        { 1536 * 1024, 3 * 1024 * 1024, "3.00 MB", "50%" },
        { 3 * 1024 * 1024, 3 * 1024 * 1024, "3.00 MB", "100%" },
        { 100, 1000, "0.98 KB", "10%" },
        { 0, 0, "0.00 KB", "100%" },
        { 5ull << 30, 10ull << 30, "10.00 GB", "50%" },
        { 999, 1000, "0.98 KB", "99%" },
    };
    for (auto& c : cases) {
        // The speed at the end must not disturb the cut, whatever its size.
        for (double speed : { 0.0, 512.0, 3e9 }) {
            auto line = progress_line(c.done, c.total, speed);
            SCOPED_TRACE(line);
            auto [total, percent] = cut_like_the_monitor(line);
            EXPECT_EQ(total, c.size);
            EXPECT_EQ(percent, c.percent);
            // With the line end still on it, the monitor cuts the same.
            EXPECT_EQ(cut_like_the_monitor(line + "\r\n").second, c.percent);
        }
    }
}

TEST(Transfer, CopiesTreesWithoutLinksAndReportsToTheEnd)
{
    TemporaryFolder folder;
    auto from = folder.path() / "from";
    write_file(from / "a.txt", "12345");
    write_file(from / "sub dir" / "b;$(x).bin", std::string(200000, 'b'));
    write_file(folder.path() / "secret", "do not copy");
    fs::create_symlink(folder.path() / "secret", from / "link");
    std::vector<std::string> lines;
    TransferMeter meter(tree_size(from), 0, [&](std::string_view line) {
        lines.emplace_back(line);
        return true;
    });
    EXPECT_EQ(tree_size(from), 200005u);
    ASSERT_FALSE(copy_tree(from, folder.path() / "to", meter));
    meter.finish();
    EXPECT_EQ(read_file(folder.path() / "to" / "a.txt"), "12345");
    EXPECT_EQ(read_file(folder.path() / "to" / "sub dir" / "b;$(x).bin").size(), 200000u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder.path() / "to" / "link")));
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("100.00 %"), std::string::npos);
    // The target must be new: nothing is copied over an existing folder.
    EXPECT_TRUE(copy_tree(from, folder.path() / "to", meter));
}

TEST(Transfer, StopsAndCleansUpWhenNobodyListens)
{
    TemporaryFolder folder;
    write_file(folder.path() / "big", std::string(4 << 20, 'x'));
    // The first chunk reports, and finds the listener gone.
    TransferMeter leaving(4 << 20, 0, [](std::string_view) { return false; });
    auto failed = copy_tree(folder.path() / "big", folder.path() / "copy", leaving);
    ASSERT_TRUE(failed);
    EXPECT_FALSE(fs::exists(folder.path() / "copy"));
}

TEST(Transfer, FreeNamesKeepTheExtension)
{
    TemporaryFolder folder;
    EXPECT_EQ(free_name(folder.path(), "song.mp3"), "song.mp3");
    write_file(folder.path() / "song.mp3", "");
    write_file(folder.path() / "song (1).mp3", "");
    EXPECT_EQ(free_name(folder.path(), "song.mp3"), "song (2).mp3");
    write_file(folder.path() / ".hidden", "");
    EXPECT_EQ(free_name(folder.path(), ".hidden"), ".hidden (1)");
}
