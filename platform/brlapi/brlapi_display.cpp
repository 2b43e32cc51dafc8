// SPDX-License-Identifier: GPL-3.0-or-later
// The braille display of a BrlAPI server (brltty).
#include "platform/brlapi/brlapi_display.h"

#include <brlapi.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

// The handle is the library's own opaque structure of a size it tells.
struct HandleDeleter {
    void operator()(brlapi_handle_t* handle) const { std::free(handle); }
};
using Handle = std::unique_ptr<brlapi_handle_t, HandleDeleter>;

// A server that went away would raise SIGPIPE on the next write and end the
// program; the signal is held back for this thread while the library
// writes, and one raised meanwhile is taken off before it is let through.
class PipeSignalHeld {
public:
    PipeSignalHeld()
    {
        sigemptyset(&m_pipe_signal);
        sigaddset(&m_pipe_signal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &m_pipe_signal, &m_previous);
        sigset_t pending;
        sigpending(&pending);
        m_was_pending = sigismember(&pending, SIGPIPE);
    }
    ~PipeSignalHeld()
    {
        sigset_t pending;
        sigpending(&pending);
        if (!m_was_pending && sigismember(&pending, SIGPIPE)) {
            timespec no_wait {};
            sigtimedwait(&m_pipe_signal, nullptr, &no_wait);
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    PipeSignalHeld(const PipeSignalHeld&) = delete;
    PipeSignalHeld& operator=(const PipeSignalHeld&) = delete;

private:
    sigset_t m_pipe_signal;
    sigset_t m_previous;
    bool m_was_pending = false;
};

// Holds the display of one connection. Keys are read on a thread of their
// own, woken by the connection's socket or by the pipe that stops it, and
// handed to the receiver from there (the receiver only posts them).
class BrlapiDisplay final : public BrailleDisplay {
public:
    BrlapiDisplay(Handle handle, int cells, std::string description, std::string firmware)
        : m_handle(std::move(handle))
        , m_cells(cells)
        , m_description(std::move(description))
        , m_firmware(std::move(firmware))
    {
    }
    ~BrlapiDisplay() override
    {
        if (m_reader.joinable()) {
            char stop = 0;
            (void)!::write(m_stop_pipe[1], &stop, 1);
            m_reader.join();
        }
        for (int descriptor : m_stop_pipe) {
            if (descriptor >= 0)
                ::close(descriptor);
        }
        std::lock_guard lock(m_mutex);
        PipeSignalHeld held;
        if (!m_lost)
            brlapi__leaveTtyMode(m_handle.get());
        brlapi__closeConnection(m_handle.get());
    }
    BrlapiDisplay(const BrlapiDisplay&) = delete;
    BrlapiDisplay& operator=(const BrlapiDisplay&) = delete;

    int cell_count() const override { return m_cells; }
    std::string description() const override { return m_description; }
    std::string firmware_version() const override { return m_firmware; }

    void write_cells(std::span<const uint8_t> cells) override
    {
        std::vector<unsigned char> dots(static_cast<size_t>(m_cells), 0);
        for (size_t index = 0; index < dots.size() && index < cells.size(); ++index)
            dots[index] = cells[index];
        std::lock_guard lock(m_mutex);
        // A display that went away is not the program's failure: its rows
        // are no longer shown.
        if (m_lost)
            return;
        PipeSignalHeld held;
        if (brlapi__writeDots(m_handle.get(), dots.data()) < 0)
            m_lost = true;
    }

    void start_keys(std::function<void(BrailleKeyReport)> deliver) override
    {
        if (m_reader.joinable() || ::pipe(m_stop_pipe) != 0)
            return;
        m_reader = std::thread([this, deliver = std::move(deliver)] { read_keys(deliver); });
    }

private:
    void read_keys(const std::function<void(BrailleKeyReport)>& deliver)
    {
        int socket = brlapi__getFileDescriptor(m_handle.get());
        for (;;) {
            pollfd waits[2] = { { socket, POLLIN, 0 }, { m_stop_pipe[0], POLLIN, 0 } };
            if (::poll(waits, 2, -1) < 0)
                continue;
            if (waits[1].revents != 0)
                return;
            if (waits[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
                std::lock_guard lock(m_mutex);
                m_lost = true;
                return;
            }
            for (;;) {
                brlapi_keyCode_t code = 0;
                int read = 0;
                {
                    std::lock_guard lock(m_mutex);
                    PipeSignalHeld held;
                    read = brlapi__readKey(m_handle.get(), 0, &code);
                    if (read < 0)
                        m_lost = true;
                }
                if (read < 0)
                    return;
                if (read == 0)
                    break;
                for (auto report : reports_of_brlapi_key(code))
                    deliver(report);
            }
        }
    }

    Handle m_handle;
    int m_cells;
    std::string m_description;
    std::string m_firmware;
    std::mutex m_mutex;
    // The server closed the connection: nothing more is written.
    bool m_lost = false;
    int m_stop_pipe[2] = { -1, -1 };
    std::thread m_reader;
};

// The library reports errors through a handler that by default prints and
// ends the program; a lost display must only leave braille off.
void ignore_brlapi_error(brlapi_handle_t*, int, brlapi_packetType_t, const void*, size_t) { }

}

std::unique_ptr<BrailleDisplay> open_brlapi_display()
{
    PipeSignalHeld held;
    Handle handle(static_cast<brlapi_handle_t*>(std::calloc(1, brlapi_getHandleSize())));
    if (!handle)
        return nullptr;
    brlapi__setExceptionHandler(handle.get(), ignore_brlapi_error);
    if (brlapi__openConnection(handle.get(), nullptr, nullptr) < 0)
        return nullptr;
    auto close = [&handle] { brlapi__closeConnection(handle.get()); };
    unsigned int columns = 0;
    unsigned int rows = 0;
    if (brlapi__getDisplaySize(handle.get(), &columns, &rows) < 0 || columns == 0 || rows == 0
        || columns * rows > 1024) {
        close();
        return nullptr;
    }
    // The driver-independent commands, not the driver's own key codes.
    if (brlapi__enterTtyModeWithPath(handle.get(), nullptr, 0, "") < 0) {
        close();
        return nullptr;
    }
    // Chords typed on the display come as dots, not as characters of
    // brltty's text table: the program has its own chord table.
    brlapi_param_retainDots_t retain_dots = 1;
    brlapi__setParameter(handle.get(), BRLAPI_PARAM_RETAIN_DOTS, 0, BRLAPI_PARAMF_LOCAL, &retain_dots, sizeof retain_dots);
    char name[81] = {};
    if (brlapi__getDriverName(handle.get(), name, sizeof name) < 0)
        name[0] = 0;
    char model[81] = {};
    if (brlapi__getModelIdentifier(handle.get(), model, sizeof model) < 0)
        model[0] = 0;
    int cells = static_cast<int>(columns * rows);
    return std::make_unique<BrlapiDisplay>(std::move(handle), cells, braille_description(name, cells), model);
}

}
