// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the power status from a power-supply folder laid out like the kernel's.
#include "platform/power_status.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

class SupplyFolder {
public:
    SupplyFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "power-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp");
        path = pattern;
    }
    ~SupplyFolder() { std::filesystem::remove_all(path); }
    void add(const std::string& name, const std::string& type, const std::string& file, const std::string& value)
    {
        std::filesystem::create_directories(path / name);
        std::ofstream(path / name / "type") << type << "\n";
        std::ofstream(path / name / file) << value << "\n";
    }
    std::filesystem::path path;
};

TEST(PowerStatus, BatteryAndMains)
{
    SupplyFolder folder;
    folder.add("AC", "Mains", "online", "0");
    folder.add("BAT0", "Battery", "capacity", "57");
    folder.add("BAT1", "Battery", "capacity", "99");
    auto status = platform::read_power_status(folder.path.string());
    EXPECT_TRUE(status.has_battery);
    EXPECT_EQ(status.percent, 57);
    EXPECT_EQ(status.mains, 0);
}

TEST(PowerStatus, NoBatteryOrDamagedValues)
{
    SupplyFolder folder;
    folder.add("BAT0", "Battery", "capacity", "lots");
    folder.add("USB", "USB", "online", "1");
    auto status = platform::read_power_status(folder.path.string());
    EXPECT_FALSE(status.has_battery);
    EXPECT_EQ(status.mains, 255);
    EXPECT_FALSE(platform::read_power_status((folder.path / "missing").string()).has_battery);
}

}
