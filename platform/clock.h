// SPDX-License-Identifier: GPL-3.0-or-later
// Clock: the time of day and a monotonic count of milliseconds.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

struct LocalTime {
    int year = 2000;
    int month = 1; // 1..12
    int day = 1; // 1..31
    int weekday = 6; // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int hundredths = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime local_time() = 0;
    virtual uint64_t monotonic_ms() = 0;
    // Lets time pass. The system clock sleeps; the virtual clock of fast
    // runs only moves forward, so a timed pause returns at once.
    virtual void pass_ms(uint64_t milliseconds) = 0;
};

// The wall clock of the machine.
class SystemClock final : public Clock {
public:
    LocalTime local_time() override;
    uint64_t monotonic_ms() override;
    void pass_ms(uint64_t milliseconds) override;
};

// A clock that starts at the machine's time and then advances only when told,
// for fast and reproducible runs.
class VirtualClock final : public Clock {
public:
    VirtualClock();
    explicit VirtualClock(LocalTime start);
    LocalTime local_time() override;
    uint64_t monotonic_ms() override { return m_elapsed_ms; }
    void pass_ms(uint64_t milliseconds) override
    {
        m_elapsed_ms += milliseconds;
        if (m_pacer)
            m_pacer(milliseconds);
    }

    // Called with every span of time that passes, after the clock has moved.
    // A fast run uses it to let a program it waits on do its work in real
    // time: skipping the pause alone would make a script's polling loop spin
    // through its whole patience before the program has even started.
    void set_pacer(std::function<void(uint64_t)> pacer) { m_pacer = std::move(pacer); }

private:
    LocalTime m_start;
    uint64_t m_elapsed_ms = 0;
    std::function<void(uint64_t)> m_pacer;
};

}
