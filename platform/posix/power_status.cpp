// SPDX-License-Identifier: GPL-3.0-or-later
// PowerStatus: whether the machine runs on a battery, how full it is, and whether it is plugged in.
#include "platform/power_status.h"

#include <algorithm>
#include <filesystem>
#include <cctype>
#include <fstream>
#include <vector>

namespace platform {

namespace {

std::string first_line(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

}

PowerStatus read_power_status(const std::string& supply_folder)
{
    PowerStatus status;
    std::error_code error;
    std::vector<std::filesystem::path> supplies;
    for (const auto& entry : std::filesystem::directory_iterator(supply_folder, error))
        supplies.push_back(entry.path());
    // Directory order is arbitrary; the names (BAT0, BAT1, AC) give a stable one.
    std::sort(supplies.begin(), supplies.end());
    for (const auto& supply : supplies) {
        auto type = first_line(supply / "type");
        if (type == "Battery" && !status.has_battery) {
            auto capacity = first_line(supply / "capacity");
            if (capacity.empty() || capacity.size() > 3 || !std::all_of(capacity.begin(), capacity.end(), ::isdigit))
                continue;
            status.has_battery = true;
            status.percent = std::clamp(std::stoi(capacity), 0, 100);
        } else if (type == "Mains" && status.mains == 255) {
            auto online = first_line(supply / "online");
            if (online == "0" || online == "1")
                status.mains = online == "1" ? 1 : 0;
        }
    }
    return status;
}

}
