// SPDX-License-Identifier: GPL-3.0-or-later
// TerminalMode: the terminal in raw mode for the console, and its restoration.
#pragma once

#include "platform/posix/terminal_screen.h"
#include "base/result.h"

#include <memory>
#include <string_view>
#include <termios.h>

namespace platform {

// Puts the terminal in raw mode on the alternate screen, with mouse and
// focus reports on, and puts everything back on every way out: the
// destructor, `std::exit` from anywhere (an exit handler), the signals that
// end a program (SIGINT, SIGTERM, SIGQUIT) and the crash signals of our own
// code (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT), whose handler only puts
// the saved settings back and raises the signal again. SIGHUP and SIGWINCH
// only wake the event loop, which then reads the hang-up or repaints.
// Only one may exist at a time.
class TerminalMode {
public:
    static base::Result<std::unique_ptr<TerminalMode>> create(int input_fd, int output_fd);
    ~TerminalMode();
    TerminalMode(const TerminalMode&) = delete;
    TerminalMode& operator=(const TerminalMode&) = delete;

    int input_fd() const { return m_input_fd; }
    // Readable after a signal that should wake the event loop.
    int signal_fd() const;
    // True once after the terminal changed size.
    bool take_resized();

    // Asks the terminal for the keyboard protocols it offers, after the
    // replies are in: with the kitty protocol, every key as an escape
    // sequence with its release; otherwise the extended keys of
    // modifyOtherKeys (what tmux's extended-keys option answers).
    void enable_keyboard(bool kitty_protocol);

    // Writes everything, retrying short writes; gives up quietly once the
    // terminal is gone.
    void write(std::string_view bytes);

    TerminalSize size() const;

    // Leaves raw mode and the alternate screen; safe to call twice.
    void restore();

    // Lends the terminal to a program started in the foreground: the
    // user's own settings and screen while it runs, then raw mode again
    // (the caller repaints). Signals meanwhile restore nothing, so that a
    // crash never writes over the other program's screen.
    void suspend();
    void resume();

private:
    TerminalMode(int input_fd, int output_fd);

    int m_input_fd;
    int m_output_fd;
    int m_signal_pipe[2] = { -1, -1 };
    bool m_restored = false;
    bool m_suspended = false;
    termios m_raw {};
    std::string_view m_keyboard_sequence;
};

}
