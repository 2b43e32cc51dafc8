// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the XDG folder rule and the program's folder.
#include "platform/user_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(UserFolders, FollowsTheXdgRules)
{
    EXPECT_EQ(platform::xdg_folder("/data/home", "/home/u", ".local/share"), "/data/home");
    // Relative and empty values are invalid and ignored.
    EXPECT_EQ(platform::xdg_folder("relative", "/home/u", ".local/share"), "/home/u/.local/share");
    EXPECT_EQ(platform::xdg_folder("", "/home/u/", ".config"), "/home/u/.config");
    EXPECT_EQ(platform::xdg_folder(nullptr, "/home/u", ".config"), "/home/u/.config");
    EXPECT_EQ(platform::xdg_folder(nullptr, "/", ".config"), "/.config");
    // Without $HOME the user database gives the home folder.
    std::string without_home = platform::xdg_folder(nullptr, nullptr, ".config");
    EXPECT_TRUE(without_home.starts_with("/"));
    EXPECT_TRUE(without_home.ends_with("/.config"));
}

TEST(UserFolders, FindsTheFolderOfThisProgram)
{
    std::string folder = platform::executable_directory();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder) / "platform_tests"));
}

}
