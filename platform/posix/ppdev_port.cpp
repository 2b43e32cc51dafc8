// SPDX-License-Identifier: GPL-3.0-or-later
// PpdevPortOpener: the first parallel port through the Linux ppdev driver.
#include "platform/posix/ppdev_port.h"

#include "platform/file_descriptor.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <thread>

namespace platform {

namespace {

// The port stays claimed for as long as it is open: the sensor scans it
// from the run's first SENSOR to the end of the process.
class PpdevPort final : public ParallelPort {
public:
    explicit PpdevPort(FileDescriptor fd)
        : m_fd(std::move(fd))
    {
    }
    ~PpdevPort() override { ioctl(m_fd.get(), PPRELEASE); }

    void write_data(uint8_t value) override { ioctl(m_fd.get(), PPWDATA, &value); }
    void write_control(uint8_t value) override { ioctl(m_fd.get(), PPWCONTROL, &value); }
    uint8_t read_status() override
    {
        unsigned char value = 0;
        ioctl(m_fd.get(), PPRSTATUS, &value);
        return value;
    }
    void settle() override { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

private:
    FileDescriptor m_fd;
};

}

base::Result<std::unique_ptr<ParallelPort>> PpdevPortOpener::open_port()
{
    FileDescriptor fd(::open(m_device.c_str(), O_RDWR | O_CLOEXEC));
    if (!fd.is_open())
        return base::Error { "cannot open '" + m_device + "': " + std::strerror(errno) };
    if (ioctl(fd.get(), PPCLAIM) != 0)
        return base::Error { "cannot claim '" + m_device + "': " + std::strerror(errno) };
    return std::unique_ptr<ParallelPort>(std::make_unique<PpdevPort>(std::move(fd)));
}

}
