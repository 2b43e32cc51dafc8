// SPDX-License-Identifier: GPL-3.0-or-later
// SystemBackends: the process, desktop and port backends of the system commands.
#include "app/system_backends.h"

#include "app/lazy_desktop.h"
#include "console/console.h"
#include "interpreter/number.h"
#include "platform/x11/x11_desktop.h"
#include "system/bitmap_file.h"

#include <cstdlib>

namespace app {

namespace {

std::unique_ptr<platform::Desktop> choose_desktop(bool without_terminal, std::optional<uint64_t> console_window)
{
    if (console_window)
        return std::make_unique<LazyDesktop>(platform::open_x11_desktop, console_window);
    if (without_terminal)
        return std::make_unique<platform::NoDesktop>();
    std::optional<uint64_t> terminal_window;
    if (const char* id = std::getenv("WINDOWID")) {
        if (auto number = interpreter::parse_number(id); number && *number > 0)
            terminal_window = static_cast<uint64_t>(*number);
    }
    return std::make_unique<LazyDesktop>(platform::open_x11_desktop, terminal_window);
}

class ConsolePictures final : public sys::PictureSink {
public:
    explicit ConsolePictures(console::Console& console)
        : m_console(console)
    {
    }
    bool load_picture(const std::string& system_path) override
    {
        auto image = sys::load_bmp_file(system_path);
        if (!image)
            return false;
        m_console.set_picture(std::move(*image));
        return true;
    }
    void draw_picture(int x, int y) override { m_console.draw_picture(x, y); }
    void remove_picture() override { m_console.remove_picture(); }

private:
    console::Console& m_console;
};

}

SystemBackends::SystemBackends(bool without_terminal, std::optional<uint64_t> console_window)
    : m_desktop(choose_desktop(without_terminal, console_window))
    , m_state(m_launcher, *m_desktop, m_ports)
{
}

void SystemBackends::use_console(console::Console& console)
{
    m_pictures = std::make_unique<ConsolePictures>(console);
    m_state.set_pictures(m_pictures.get());
}

}
