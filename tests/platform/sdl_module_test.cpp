// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the SDL2 module: found beside the programs, or a clear reason why not.
#include "platform/sdl_module.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SdlModule, LoadsFromItsFolderAndOffersTheWindowAndTheSound)
{
    auto module = platform::load_sdl_module(SDL_MODULE_FOLDER);
    ASSERT_TRUE(module) << module.error().message;
    ASSERT_NE(*module, nullptr);
    EXPECT_NE((*module)->open_window, nullptr);
    EXPECT_NE((*module)->create_audio_device, nullptr);
    // A second load finds the same module.
    auto again = platform::load_sdl_module(SDL_MODULE_FOLDER);
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, *module);
}

TEST(SdlModule, AFolderWithoutItGivesTheLoadersReason)
{
    auto module = platform::load_sdl_module("/nonexistent/folder/");
    ASSERT_FALSE(module);
    EXPECT_NE(module.error().message.find(platform::sdl_module_file), std::string::npos) << module.error().message;
}

TEST(SdlModule, ProgramFolderIsWhereTheRunningProgramIs)
{
    std::string folder = platform::program_folder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(folder.front(), '/');
}

}
