// SPDX-License-Identifier: GPL-3.0-or-later
// DesktopBackends: the desktop, clipboard and accessibility backends of the desktop commands.
#include "app/desktop_backends.h"

#include "app/lazy_desktop.h"
#include "platform/atspi/atspi_accessibility.h"
#include "platform/headless/recording_accessibility.h"
#include "platform/headless/recording_desktop.h"
#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_desktop_input.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace app {

namespace {

std::string desktop_choice(const Options& options, bool headless_console)
{
    if (!options.desktop.empty())
        return options.desktop;
    return headless_console ? "headless" : "x11";
}

std::unique_ptr<platform::DesktopInput> choose_input(const std::string& choice)
{
    if (choice == "headless")
        return std::make_unique<platform::RecordingDesktop>();
    if (choice == "x11")
        return std::make_unique<LazyDesktopInput>(platform::open_x11_desktop_input);
    return std::make_unique<platform::NoDesktopInput>();
}

using AccessibilityChoice = base::Result<std::unique_ptr<platform::Accessibility>>;

AccessibilityChoice choose_accessibility(const Options& options, const std::string& choice)
{
    if (choice == "headless") {
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
    if (choice == "none")
        return AccessibilityChoice(std::make_unique<platform::NoAccessibility>());
    return platform::create_atspi_accessibility();
}

// The X display's clipboard is shared with the console when the commands
// act on a display; the display is only named here, and opened by the
// first use of the clipboard.
std::unique_ptr<platform::Clipboard> choose_clipboard(const std::string& choice, platform::Clipboard& fallback)
{
    const char* display = std::getenv("DISPLAY");
    if (choice != "x11" || !display || !*display)
        return nullptr;
    return std::make_unique<LazyClipboard>(platform::open_x11_clipboard, fallback);
}

}

base::Result<std::unique_ptr<DesktopBackends>> DesktopBackends::create(const Options& options, bool headless_console)
{
    std::string choice = desktop_choice(options, headless_console);
    auto accessibility = choose_accessibility(options, choice);
    if (!accessibility)
        return accessibility.error();
    return std::unique_ptr<DesktopBackends>(new DesktopBackends(choice, std::move(*accessibility)));
}

DesktopBackends::DesktopBackends(const std::string& choice, std::unique_ptr<platform::Accessibility> accessibility)
    : m_input(choose_input(choice))
    , m_system_clipboard(choose_clipboard(choice, m_memory_clipboard))
    , m_accessibility(std::move(accessibility))
    , m_state(*m_input, m_system_clipboard ? *m_system_clipboard : m_memory_clipboard, *m_accessibility)
{
}

}
