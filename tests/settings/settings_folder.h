// SPDX-License-Identifier: GPL-3.0-or-later
// A throw-away layout for settings tests: a per-user folder, drive C and a program folder.
#pragma once

#include "platform/path_map.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace settings_test {

class SettingsFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "settings_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        std::filesystem::create_directories(user_directory());
        std::filesystem::create_directories(drive_c() + "/windows");
        m_paths.set_drive('C', drive_c());
        m_settings = std::make_unique<settings::Settings>(m_paths,
            settings::SettingsPlaces { user_directory(), std::string(), program_directory() });
    }
    void TearDown() override
    {
        std::error_code error;
        std::filesystem::remove_all(m_root, error);
    }

    std::string user_directory() const { return m_root + "/config/Lumera"; }
    std::string drive_c() const { return m_root + "/c"; }
    std::string program_directory() const { return m_root + "/program"; }

    static void write_file(const std::string& path, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    void write_user_file(const std::string& text) const { write_file(user_directory() + "/Lumera.ini", text); }
    void write_windows_file(const std::string& text) const { write_file(drive_c() + "/windows/Lumera.ini", text); }

    std::string m_root;
    platform::PathMap m_paths { std::string() };
    std::unique_ptr<settings::Settings> m_settings;
};

}
