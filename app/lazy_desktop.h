// SPDX-License-Identifier: GPL-3.0-or-later
// The X11 desktop's backends, opened when a desktop command first uses them.
#pragma once

#include "platform/clipboard.h"
#include "platform/desktop.h"
#include "platform/desktop_input.h"

#include <functional>
#include <memory>

namespace app {

// Opening the desktop loads the XCB libraries and connects to the X server
// (once for each backend), which every run on a terminal under X would pay
// at start though few scripts use a desktop command. These stand in for the
// backends and open them on the first call that needs them; when one cannot
// be opened it behaves, from then on, as when there is no desktop.

class LazyDesktop final : public platform::Desktop {
public:
    using Opener = std::function<std::unique_ptr<platform::Desktop>(std::optional<uint64_t> console_window)>;
    LazyDesktop(Opener open, std::optional<uint64_t> console_window);

    // Known without opening anything.
    std::optional<uint64_t> console_window() override { return m_console_window; }
    std::optional<uint64_t> foreground_window() override { return desktop().foreground_window(); }
    std::string foreground_title() override { return desktop().foreground_title(); }

private:
    platform::Desktop& desktop();

    Opener m_open;
    std::optional<uint64_t> m_console_window;
    std::unique_ptr<platform::Desktop> m_desktop;
};

class LazyDesktopInput final : public platform::DesktopInput {
public:
    using Opener = std::function<std::unique_ptr<platform::DesktopInput>()>;
    explicit LazyDesktopInput(Opener open);

    std::string name() override { return input().name(); }
    std::optional<uint16_t> key_code_word(unsigned char character) override { return input().key_code_word(character); }
    std::optional<uint16_t> dead_key_code_word(unsigned char accent) override
    {
        return input().dead_key_code_word(accent);
    }
    void send_key(int virtual_key, bool down) override { input().send_key(virtual_key, down); }
    void type_unmapped_character(unsigned char character) override { input().type_unmapped_character(character); }
    // Nothing was typed, so nothing is put back, before the first command.
    void end_typing() override
    {
        if (m_input)
            m_input->end_typing();
    }
    void toggle_num_lock() override { input().toggle_num_lock(); }
    void move_pointer(int x, int y) override { input().move_pointer(x, y); }
    void press_left_button(bool down) override { input().press_left_button(down); }
    std::vector<platform::TopLevelWindow> windows() override { return input().windows(); }
    void apply_window_action(uint64_t window, platform::WindowAction action) override
    {
        input().apply_window_action(window, action);
    }
    std::optional<platform::ScreenArea> foreground_area() override { return input().foreground_area(); }
    int frame_width() override { return input().frame_width(); }
    std::string foreground_title() override { return input().foreground_title(); }
    std::string focus_text() override { return input().focus_text(); }

private:
    platform::DesktopInput& input();

    Opener m_open;
    std::unique_ptr<platform::DesktopInput> m_input;
};

// The desktop's clipboard; `fallback` (which must outlive this) keeps the
// text when the desktop's cannot be opened.
class LazyClipboard final : public platform::Clipboard {
public:
    using Opener = std::function<std::unique_ptr<platform::Clipboard>()>;
    LazyClipboard(Opener open, platform::Clipboard& fallback);

    void set_text(std::string_view utf8) override { clipboard().set_text(utf8); }
    std::optional<std::string> text() override { return clipboard().text(); }

private:
    platform::Clipboard& clipboard();

    Opener m_open;
    platform::Clipboard& m_fallback;
    std::unique_ptr<platform::Clipboard> m_clipboard;
    bool m_tried = false;
};

}
