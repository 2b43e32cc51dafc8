// SPDX-License-Identifier: GPL-3.0-or-later
// The system clock and the virtual clock of fast runs.
#include "platform/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace platform {

LocalTime SystemClock::local_time()
{
    auto now = std::chrono::system_clock::now();
    auto seconds = std::chrono::system_clock::to_time_t(now);
    auto since_second = now - std::chrono::system_clock::from_time_t(seconds);
    std::tm parts {};
    localtime_r(&seconds, &parts);
    LocalTime time;
    time.year = parts.tm_year + 1900;
    time.month = parts.tm_mon + 1;
    time.day = parts.tm_mday;
    time.weekday = parts.tm_wday;
    time.hour = parts.tm_hour;
    time.minute = parts.tm_min;
    time.second = parts.tm_sec;
    time.hundredths = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since_second).count() / 10);
    if (time.hundredths < 0 || time.hundredths > 99)
        time.hundredths = 0;
    return time;
}

uint64_t SystemClock::monotonic_ms()
{
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SystemClock::pass_ms(uint64_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

VirtualClock::VirtualClock()
    : m_start(SystemClock().local_time())
{
}

VirtualClock::VirtualClock(LocalTime start)
    : m_start(start)
{
}

LocalTime VirtualClock::local_time()
{
    std::tm parts {};
    parts.tm_year = m_start.year - 1900;
    parts.tm_mon = m_start.month - 1;
    parts.tm_mday = m_start.day;
    parts.tm_hour = m_start.hour;
    parts.tm_min = m_start.minute;
    parts.tm_sec = m_start.second;
    uint64_t centiseconds = m_start.hundredths + m_elapsed_ms / 10;
    parts.tm_sec += static_cast<int>(centiseconds / 100);
    // timegm normalises the fields without consulting the time zone.
    time_t normalised = timegm(&parts);
    std::tm result {};
    gmtime_r(&normalised, &result);
    LocalTime time;
    time.year = result.tm_year + 1900;
    time.month = result.tm_mon + 1;
    time.day = result.tm_mday;
    time.weekday = result.tm_wday;
    time.hour = result.tm_hour;
    time.minute = result.tm_min;
    time.second = result.tm_sec;
    time.hundredths = static_cast<int>(centiseconds % 100);
    return time;
}

}
