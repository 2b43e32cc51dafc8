// SPDX-License-Identifier: GPL-3.0-or-later
// SystemWorld: the clock, the event loop's pauses and the desktop, as the statements' world port.
#include "app/system_world.h"

#include "system/desktop_opener.h"

namespace app {

bool SystemWorld::open_document(std::string_view file, std::string_view parameter)
{
    if (!m_launcher || !m_paths)
        return false;
    return sys::open_with_desktop(*m_launcher, *m_paths, file, parameter);
}

interpreter::TimeOfDay SystemWorld::local_time()
{
    auto now = m_clock.local_time();
    return { now.year, now.month, now.day, now.weekday, now.hour, now.minute, now.second, now.hundredths };
}

uint32_t SystemWorld::random_seed()
{
    auto now = m_clock.local_time();
    return static_cast<uint32_t>(m_clock.monotonic_ms()) ^ static_cast<uint32_t>(now.second * 100 + now.hundredths)
        ^ static_cast<uint32_t>(now.minute << 16);
}

}
