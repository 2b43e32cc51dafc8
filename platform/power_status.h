// SPDX-License-Identifier: GPL-3.0-or-later
// PowerStatus: whether the machine runs on a battery, how full it is, and whether it is plugged in.
#pragma once

#include <string>

namespace platform {

struct PowerStatus {
    bool has_battery = false;
    int percent = 0; // 0..100, of the first battery
    // 0 off line, 1 on line, 255 unknown (as the original's status had it).
    int mains = 255;
};

// Reads the kernel's power-supply folder (normally /sys/class/power_supply):
// the first supply of type "Battery" gives the charge from "capacity", one of
// type "Mains" gives the line status from "online".
PowerStatus read_power_status(const std::string& supply_folder = "/sys/class/power_supply");

}
