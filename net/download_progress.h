// SPDX-License-Identifier: GPL-3.0-or-later
// The spoken progress report of a download, and the click that marks each block.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace net {

// A number in the general format with `precision` significant digits:
// fixed notation while the integer part has at most `precision` digits and
// the value is at least 0.00001, scientific ("1,23E-06") otherwise; trailing
// zeros dropped, and the decimal comma of Portuguese.
std::string format_general(double value, int precision);

struct ProgressFigures {
    int64_t file_size = 0; // F: bytes in the target file now
    int64_t total = 0; // T: the body's length plus the resume offset
    bool streaming = false;
    std::string file_name;
};

// The pieces of the report, each spoken on its own, in order.
std::vector<std::string> progress_report(const ProgressFigures& figures);

// 256 samples, 8-bit unsigned mono at 11,025 Hz: a short decaying tick.
std::array<uint8_t, 256> progress_click_samples();

}
