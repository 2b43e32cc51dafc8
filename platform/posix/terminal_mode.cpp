// SPDX-License-Identifier: GPL-3.0-or-later
// TerminalMode: the terminal in raw mode for the console, and its restoration.
#include "platform/posix/terminal_mode.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::string_view enter_sequence =
    "\x1B[?1049h" // alternate screen
    "\x1B[22;0t" // the user's window title saved, for the console's own
    "\x1B[?7l" // no automatic wrap: the last column of the last row stays put
    "\x1B[?25l"
    "\x1B[?1000h\x1B[?1006h" // mouse buttons and wheel, SGR reports
    "\x1B[?1004h"; // focus reports

constexpr std::string_view leave_sequence =
    "\x1B[<u" // kitty keyboard flags popped (ignored where not pushed)
    "\x1B[>4m" // modifyOtherKeys off
    "\x1B[?1004l\x1B[?1006l\x1B[?1000l"
    "\x1B[?7h\x1B[0m\x1B[?25h"
    "\x1B[?1049l"
    "\x1B[23;0t";

constexpr std::array fatal_signals { SIGINT, SIGTERM, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT };
constexpr std::array waking_signals { SIGHUP, SIGWINCH };

// What a signal handler or the exit handler needs to give the terminal
// back. A signal handler can reach nothing but static storage, so this is
// the one piece of mutable state outside an object; `TerminalMode` fills it
// while it runs, and only one may exist at a time.
struct EmergencyState {
    volatile sig_atomic_t armed = 0;
    volatile sig_atomic_t resized = 0;
    bool exit_handler_registered = false;
    int input_fd = -1;
    int output_fd = -1;
    int wake_fd = -1;
    termios saved {};
};
EmergencyState emergency;

// Async-signal-safe: only write and tcsetattr.
void emergency_restore()
{
    if (!emergency.armed)
        return;
    emergency.armed = 0;
    [[maybe_unused]] auto written = ::write(emergency.output_fd, leave_sequence.data(), leave_sequence.size());
    tcsetattr(emergency.input_fd, TCSANOW, &emergency.saved);
}

void on_fatal_signal(int number)
{
    int saved_errno = errno;
    emergency_restore();
    // The handler was installed with SA_RESETHAND: raising again ends the
    // program as the signal would have without us.
    raise(number);
    errno = saved_errno;
}

void on_waking_signal(int number)
{
    int saved_errno = errno;
    if (number == SIGWINCH)
        emergency.resized = 1;
    if (emergency.wake_fd >= 0) {
        char byte = 1;
        [[maybe_unused]] auto written = ::write(emergency.wake_fd, &byte, 1);
    }
    errno = saved_errno;
}

void install_handlers()
{
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = on_fatal_signal;
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (int number : fatal_signals) {
        struct sigaction previous {};
        sigaction(number, nullptr, &previous);
        // A signal the parent asked us to ignore stays ignored.
        if (previous.sa_handler == SIG_IGN)
            continue;
        sigaction(number, &action, nullptr);
    }
    action.sa_handler = on_waking_signal;
    action.sa_flags = SA_RESTART;
    for (int number : waking_signals)
        sigaction(number, &action, nullptr);
}

void remove_handlers()
{
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = SIG_DFL;
    for (int number : fatal_signals) {
        struct sigaction previous {};
        sigaction(number, nullptr, &previous);
        if (previous.sa_handler == on_fatal_signal)
            sigaction(number, &action, nullptr);
    }
    for (int number : waking_signals)
        sigaction(number, &action, nullptr);
}

}

base::Result<std::unique_ptr<TerminalMode>> TerminalMode::create(int input_fd, int output_fd)
{
    if (emergency.armed)
        return base::Error { "the terminal is already in use by the console" };
    termios saved {};
    if (tcgetattr(input_fd, &saved) != 0)
        return base::Error { std::string("cannot read the terminal's settings: ") + std::strerror(errno) };
    std::unique_ptr<TerminalMode> mode(new TerminalMode(input_fd, output_fd));
    if (pipe(mode->m_signal_pipe) != 0)
        return base::Error { std::string("cannot create a pipe: ") + std::strerror(errno) };
    for (int fd : mode->m_signal_pipe) {
        fcntl(fd, F_SETFL, O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }

    emergency.input_fd = input_fd;
    emergency.output_fd = output_fd;
    emergency.wake_fd = mode->m_signal_pipe[1];
    emergency.saved = saved;
    emergency.resized = 0;
    emergency.armed = 1;
    install_handlers();
    // Registered once per process: it does nothing unless a mode is armed.
    if (!emergency.exit_handler_registered)
        emergency.exit_handler_registered = std::atexit(emergency_restore) == 0;

    termios raw = saved;
    raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INLCR | IGNCR | INPCK | ISTRIP | IXON);
    raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    raw.c_cflag |= CS8;
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN | ISIG);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    mode->m_raw = raw;
    if (tcsetattr(input_fd, TCSAFLUSH, &raw) != 0) {
        int error = errno;
        mode->restore();
        return base::Error { std::string("cannot put the terminal in raw mode: ") + std::strerror(error) };
    }
    mode->write(enter_sequence);
    return mode;
}

TerminalMode::TerminalMode(int input_fd, int output_fd)
    : m_input_fd(input_fd)
    , m_output_fd(output_fd)
{
}

TerminalMode::~TerminalMode()
{
    restore();
    for (int fd : m_signal_pipe) {
        if (fd >= 0)
            close(fd);
    }
}

int TerminalMode::signal_fd() const
{
    return m_signal_pipe[0];
}

bool TerminalMode::take_resized()
{
    char drain[64];
    while (read(m_signal_pipe[0], drain, sizeof drain) > 0) {
    }
    if (!emergency.resized)
        return false;
    emergency.resized = 0;
    return true;
}

void TerminalMode::enable_keyboard(bool kitty_protocol)
{
    // Flags 1 + 2 + 4 + 8: unambiguous escapes, press/repeat/release,
    // the shifted key, and every key (letters too) as an escape.
    m_keyboard_sequence = kitty_protocol ? "\x1B[>15u" : "\x1B[>4;1m";
    write(m_keyboard_sequence);
}

void TerminalMode::suspend()
{
    if (m_restored || m_suspended)
        return;
    m_suspended = true;
    emergency_restore();
}

void TerminalMode::resume()
{
    if (m_restored || !m_suspended)
        return;
    m_suspended = false;
    tcsetattr(m_input_fd, TCSAFLUSH, &m_raw);
    emergency.armed = 1;
    write(enter_sequence);
    write(m_keyboard_sequence);
}

void TerminalMode::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        auto written = ::write(m_output_fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
}

TerminalSize TerminalMode::size() const
{
    winsize window {};
    if (ioctl(m_output_fd, TIOCGWINSZ, &window) != 0 || window.ws_col == 0 || window.ws_row == 0)
        return {};
    return { window.ws_col, window.ws_row };
}

void TerminalMode::restore()
{
    if (m_restored)
        return;
    m_restored = true;
    emergency.wake_fd = -1;
    emergency_restore();
    remove_handlers();
}

}
