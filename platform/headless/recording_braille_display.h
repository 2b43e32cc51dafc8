// SPDX-License-Identifier: GPL-3.0-or-later
// RecordingBrailleDisplay: a display kept in memory that records what it shows and replays keys.
#pragma once

#include "platform/braille_display.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace platform {

class RecordingBrailleDisplay final : public BrailleDisplay {
public:
    explicit RecordingBrailleDisplay(int cells)
        : m_cells(cells)
    {
    }

    int cell_count() const override { return m_cells; }
    std::string description() const override { return braille_description("Headless", m_cells); }
    std::string firmware_version() const override { return "1.0"; }
    void write_cells(std::span<const uint8_t> cells) override { m_rows.emplace_back(cells.begin(), cells.end()); }
    void start_keys(std::function<void(BrailleKeyReport)> deliver) override { m_deliver = std::move(deliver); }

    // Every write, oldest first.
    const std::vector<std::vector<uint8_t>>& rows() const { return m_rows; }
    // A key report from the display; dropped until the keys were started.
    void press(BrailleKeyReport report)
    {
        if (m_deliver)
            m_deliver(report);
    }

private:
    int m_cells;
    std::vector<std::vector<uint8_t>> m_rows;
    std::function<void(BrailleKeyReport)> m_deliver;
};

}
