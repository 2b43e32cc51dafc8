// SPDX-License-Identifier: GPL-3.0-or-later
// Copies between the user's files and an account's files, at a limited
// rate if asked, reporting progress lines as it goes.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace cloud {

// A progress line: "TRANSFERRING ||####......||(1.50/10.00 MB:  15.00 %) 2.00 MB/s".
// Readers cut it at fixed marks: the first "(", the first "/", the first
// space after it plus a two-letter unit for the total, and the number
// before " %" up to its ".". Both sizes use the total's unit.
std::string progress_line(uint64_t done, uint64_t total, double bytes_per_second);

// A size as df shows it: "12.34 MB".
std::string readable_size(uint64_t bytes);

class TransferMeter {
public:
    // `report` receives each progress line and returns false once nobody is
    // listening, which stops the transfer. `rate` is bytes a second, 0 for
    // no limit.
    TransferMeter(uint64_t total, uint64_t rate, std::function<bool(std::string_view)> report);

    // Counts bytes moved, waits as long as the rate asks, reports now and
    // then. False: stop.
    bool add(uint64_t bytes);
    // Reports the final line.
    bool finish();

private:
    bool report_now();

    uint64_t m_total;
    uint64_t m_done = 0;
    uint64_t m_rate;
    std::function<bool(std::string_view)> m_report;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_last_report;
};

// The bytes of the regular files in a file or folder tree (links skipped).
uint64_t tree_size(const std::filesystem::path& path);

// Copies a file or a folder tree to `to`, which must not exist. Only
// folders and regular files are copied: a symbolic link could lead out of
// an account's folder. Returns an error message, or nothing on success;
// on failure what was copied is removed again.
std::optional<std::string> copy_tree(
    const std::filesystem::path& from, const std::filesystem::path& to, TransferMeter& meter);

// A name in `folder` that does not exist yet: `name`, else "stem (1).ext", ...
std::string free_name(const std::filesystem::path& folder, const std::string& name);

}
