// SPDX-License-Identifier: GPL-3.0-or-later
// DesktopBackends: the desktop, clipboard and accessibility backends of the desktop commands.
#include "app/desktop_backends.h"

#include "platform/atspi/atspi_accessibility.h"
#include "platform/headless/recording_accessibility.h"
#include "platform/headless/recording_desktop.h"
#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_desktop_input.h"

#include <fstream>
#include <sstream>

namespace app {

namespace {

std::unique_ptr<platform::DesktopInput> choose_input(const Options& options, bool headless_console)
{
    std::string choice = options.desktop;
    if (choice.empty())
        choice = headless_console ? "headless" : "x11";
    if (choice == "headless")
        return std::make_unique<platform::RecordingDesktop>();
    if (choice == "x11") {
        if (auto input = platform::open_x11_desktop_input())
            return input;
    }
    return std::make_unique<platform::NoDesktopInput>();
}

using AccessibilityChoice = base::Result<std::unique_ptr<platform::Accessibility>>;

AccessibilityChoice choose_accessibility(const Options& options, const std::string& desktop)
{
    if (desktop == "headless") {
        if (options.accessible_objects_path.empty())
            return AccessibilityChoice(std::make_unique<platform::RecordingAccessibility>());
        std::ifstream file(options.accessible_objects_path, std::ios::binary);
        if (!file)
            return base::Error { "cannot open the accessible objects file '" + options.accessible_objects_path + "'" };
        std::ostringstream text;
        text << file.rdbuf();
        auto objects = platform::parse_accessible_objects(text.str());
        if (!objects)
            return objects.error();
        return AccessibilityChoice(std::make_unique<platform::RecordingAccessibility>(std::move(*objects)));
    }
    // AT-SPI reaches the desktop's programs over D-Bus, with or without X11.
    if (options.desktop == "none")
        return AccessibilityChoice(std::make_unique<platform::NoAccessibility>());
    return platform::create_atspi_accessibility();
}

platform::Clipboard& pick(std::unique_ptr<platform::Clipboard>& system, platform::Clipboard& memory)
{
    return system ? *system : memory;
}

}

base::Result<std::unique_ptr<DesktopBackends>> DesktopBackends::create(const Options& options, bool headless_console)
{
    auto input = choose_input(options, headless_console);
    auto accessibility = choose_accessibility(options, input->name());
    if (!accessibility)
        return accessibility.error();
    return std::unique_ptr<DesktopBackends>(new DesktopBackends(std::move(input), std::move(*accessibility)));
}

DesktopBackends::DesktopBackends(
    std::unique_ptr<platform::DesktopInput> input, std::unique_ptr<platform::Accessibility> accessibility)
    : m_input(std::move(input))
    , m_system_clipboard(m_input->name() == "X11" ? platform::open_x11_clipboard() : nullptr)
    , m_accessibility(std::move(accessibility))
    , m_state(*m_input, pick(m_system_clipboard, m_memory_clipboard), *m_accessibility)
{
}

}
