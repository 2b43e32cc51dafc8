// SPDX-License-Identifier: GPL-3.0-or-later
// SystemWorld: the clock, the event loop's pauses and the desktop, as the statements' world port.
#pragma once

#include "console/event_loop.h"
#include "interpreter/world_port.h"
#include "platform/clock.h"

namespace platform {
class PathMap;
class ProcessLauncher;
}

namespace app {

class SystemWorld final : public interpreter::WorldPort {
public:
    SystemWorld(console::EventLoop& loop, platform::Clock& clock)
        : m_loop(loop)
        , m_clock(clock)
    {
    }

    // Documents and links open through the launcher, with paths mapped;
    // until both are set nothing opens.
    void set_document_opener(platform::ProcessLauncher* launcher, const platform::PathMap* paths)
    {
        m_launcher = launcher;
        m_paths = paths;
    }

    void pause_ms(int milliseconds) override { m_loop.delay(milliseconds); }
    void look_at_events() override { m_loop.look_at_events(); }
    interpreter::TimeOfDay local_time() override;
    uint32_t random_seed() override;
    bool open_document(std::string_view file, std::string_view parameter) override;

private:
    console::EventLoop& m_loop;
    platform::Clock& m_clock;
    platform::ProcessLauncher* m_launcher = nullptr;
    const platform::PathMap* m_paths = nullptr;
};

}
