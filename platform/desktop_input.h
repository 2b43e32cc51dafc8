// SPDX-License-Identifier: GPL-3.0-or-later
// DesktopInput: synthesised keys and mouse, and the top-level windows of the desktop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct ScreenArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct TopLevelWindow {
    uint64_t id = 0;
    // UTF-8, as the desktop holds it.
    std::string title;
    bool enabled = true;
    bool visible = true;
    bool minimised = false;
};

enum class WindowAction {
    close,
    show_normal,
    maximise,
    minimise,
};

// What the desktop commands need from the windowing system. Keys are named
// by Windows virtual-key codes and characters by their Windows-1252 byte:
// the scripts were written for those, and each backend maps them onto its
// own keyboard. Every call returns without error: a desktop that cannot do
// something (a window that has gone, no pointer) simply does nothing.
class DesktopInput {
public:
    virtual ~DesktopInput() = default;

    // A short name for the help text: "X11", "none", ...
    virtual std::string name() = 0;

    // The key that types `character`, as a code word: the virtual key in the
    // low byte, 0x01 Shift, 0x02 Ctrl, 0x04 Alt in the high byte; nothing
    // when no key of the keyboard types it.
    virtual std::optional<uint16_t> key_code_word(unsigned char character) = 0;
    // The dead key that puts `accent` (one of ` ´ ^ ~ ¨ in Windows-1252) on
    // the next letter, as a code word; nothing when the keyboard has none.
    virtual std::optional<uint16_t> dead_key_code_word(unsigned char accent) = 0;
    virtual void send_key(int virtual_key, bool down) = 0;
    // Types a character that no key of the keyboard types.
    virtual void type_unmapped_character(unsigned char character) = 0;
    // Called when a command has typed all it types: whatever the typing
    // changed on the keyboard is put back.
    virtual void end_typing() { }
    virtual void toggle_num_lock() = 0;

    virtual void move_pointer(int x, int y) = 0;
    virtual void press_left_button(bool down) = 0;

    // The top-level windows, front to back where the desktop tells the order.
    virtual std::vector<TopLevelWindow> windows() = 0;
    virtual void apply_window_action(uint64_t window, WindowAction action) = 0;
    // The outer edge of the window in front, frame included.
    virtual std::optional<ScreenArea> foreground_area() = 0;
    // The width of a window's sizing frame.
    virtual int frame_width() = 0;
    // The title of the window in front and the text of the focused control,
    // in UTF-8; empty when unknown.
    virtual std::string foreground_title() = 0;
    virtual std::string focus_text() = 0;
};

// A desktop with nothing on it: no display, or a headless run.
class NoDesktopInput final : public DesktopInput {
public:
    std::string name() override { return "none"; }
    std::optional<uint16_t> key_code_word(unsigned char) override { return std::nullopt; }
    std::optional<uint16_t> dead_key_code_word(unsigned char) override { return std::nullopt; }
    void send_key(int, bool) override { }
    void type_unmapped_character(unsigned char) override { }
    void toggle_num_lock() override { }
    void move_pointer(int, int) override { }
    void press_left_button(bool) override { }
    std::vector<TopLevelWindow> windows() override { return {}; }
    void apply_window_action(uint64_t, WindowAction) override { }
    std::optional<ScreenArea> foreground_area() override { return std::nullopt; }
    int frame_width() override { return 0; }
    std::string foreground_title() override { return {}; }
    std::string focus_text() override { return {}; }
};

}
