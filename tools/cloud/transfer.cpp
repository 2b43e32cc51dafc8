// SPDX-License-Identifier: GPL-3.0-or-later
// Copying with progress and a rate limit.
#include "transfer.h"

#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>

namespace cloud {

namespace fs = std::filesystem;

namespace {

constexpr size_t chunk_bytes = 64 * 1024;
constexpr auto report_interval = std::chrono::milliseconds(250);
constexpr int bar_width = 20;

struct Unit {
    double divisor;
    const char* name;
};

Unit unit_for(uint64_t bytes)
{
    if (bytes >= 1024ull * 1024 * 1024)
        return { 1024.0 * 1024 * 1024, "GB" };
    if (bytes >= 1024ull * 1024)
        return { 1024.0 * 1024, "MB" };
    return { 1024.0, "KB" };
}

std::optional<std::string> copy_file(const fs::path& from, const fs::path& to, TransferMeter& meter)
{
    std::ifstream in(from, std::ios::binary);
    if (!in)
        return "cannot read " + from.string();
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out)
        return "cannot write " + to.string();
    std::vector<char> buffer(chunk_bytes);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        auto got = in.gcount();
        if (got <= 0)
            break;
        out.write(buffer.data(), got);
        if (!out)
            return "cannot write " + to.string();
        if (!meter.add(static_cast<uint64_t>(got)))
            return "transfer cancelled";
    }
    if (in.bad())
        return "cannot read " + from.string();
    out.close();
    if (!out)
        return "cannot write " + to.string();
    std::error_code error;
    fs::last_write_time(to, fs::last_write_time(from, error), error);
    return std::nullopt;
}

std::optional<std::string> copy_entries(const fs::path& from, const fs::path& to, TransferMeter& meter)
{
    std::error_code error;
    auto status = fs::symlink_status(from, error);
    if (error)
        return "cannot read " + from.string();
    if (fs::is_regular_file(status))
        return copy_file(from, to, meter);
    if (!fs::is_directory(status))
        return std::nullopt; // links, devices and pipes are left out
    if (!fs::create_directory(to, error) || error)
        return "cannot create " + to.string();
    for (fs::directory_iterator entries(from, error), end; !error && entries != end; entries.increment(error)) {
        if (auto failed = copy_entries(entries->path(), to / entries->path().filename(), meter))
            return failed;
    }
    if (error)
        return "cannot read " + from.string();
    return std::nullopt;
}

}

std::string progress_line(uint64_t done, uint64_t total, double bytes_per_second)
{
    double percent = total == 0 ? 100.0 : 100.0 * static_cast<double>(done) / static_cast<double>(total);
    if (percent > 100.0)
        percent = 100.0;
    int filled = static_cast<int>(percent * bar_width / 100.0);
    auto unit = unit_for(total);
    auto speed = unit_for(static_cast<uint64_t>(bytes_per_second));
    char text[200];
    std::snprintf(text, sizeof text, "TRANSFERRING ||%s%s||(%.2f/%.2f %s: %6.2f %%) %.2f %s/s",
        std::string(static_cast<size_t>(filled), '#').c_str(), std::string(static_cast<size_t>(bar_width - filled), '.').c_str(),
        static_cast<double>(done) / unit.divisor, static_cast<double>(total) / unit.divisor, unit.name, percent,
        bytes_per_second / speed.divisor, speed.name);
    return text;
}

std::string readable_size(uint64_t bytes)
{
    if (bytes < 1024)
        return std::to_string(bytes) + " B";
    auto unit = unit_for(bytes);
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %s", static_cast<double>(bytes) / unit.divisor, unit.name);
    return text;
}

TransferMeter::TransferMeter(uint64_t total, uint64_t rate, std::function<bool(std::string_view)> report)
    : m_total(total)
    , m_rate(rate)
    , m_report(std::move(report))
    , m_start(std::chrono::steady_clock::now())
    , m_last_report(m_start - report_interval) // the first chunk reports at once
{
}

bool TransferMeter::add(uint64_t bytes)
{
    m_done += bytes;
    if (m_rate > 0) {
        auto due = m_start + std::chrono::microseconds(m_done * 1000000 / m_rate);
        std::this_thread::sleep_until(due);
    }
    if (std::chrono::steady_clock::now() - m_last_report >= report_interval)
        return report_now();
    return true;
}

bool TransferMeter::finish() { return report_now(); }

bool TransferMeter::report_now()
{
    auto now = std::chrono::steady_clock::now();
    m_last_report = now;
    double seconds = std::chrono::duration<double>(now - m_start).count();
    double speed = seconds > 0 ? static_cast<double>(m_done) / seconds : 0;
    return m_report(progress_line(m_done, m_total, speed));
}

uint64_t tree_size(const fs::path& path)
{
    std::error_code error;
    auto status = fs::symlink_status(path, error);
    if (error)
        return 0;
    if (fs::is_regular_file(status))
        return fs::file_size(path, error);
    if (!fs::is_directory(status))
        return 0;
    uint64_t total = 0;
    for (fs::directory_iterator entries(path, error), end; !error && entries != end; entries.increment(error))
        total += tree_size(entries->path());
    return total;
}

std::optional<std::string> copy_tree(const fs::path& from, const fs::path& to, TransferMeter& meter)
{
    std::error_code error;
    if (fs::exists(fs::symlink_status(to, error)))
        return to.string() + " already exists";
    auto failed = copy_entries(from, to, meter);
    if (failed) {
        fs::remove_all(to, error);
        return failed;
    }
    return std::nullopt;
}

std::string free_name(const fs::path& folder, const std::string& name)
{
    std::error_code error;
    if (!fs::exists(fs::symlink_status(folder / name, error)))
        return name;
    auto dot = name.rfind('.');
    if (dot == 0 || dot == std::string::npos)
        dot = name.size();
    auto stem = name.substr(0, dot);
    auto extension = name.substr(dot);
    for (int n = 1;; ++n) {
        auto candidate = stem + " (" + std::to_string(n) + ")" + extension;
        if (!fs::exists(fs::symlink_status(folder / candidate, error)))
            return candidate;
    }
}

}
