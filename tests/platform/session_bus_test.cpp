// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the session bus check: D-Bus addresses, and sockets that take connections or not.
#include "platform/atspi/session_bus.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

namespace {

using platform::LocalBusSocket;
using Sockets = std::vector<LocalBusSocket>;

TEST(SessionBus, FindsTheLocalSocketsOfAnAddress)
{
    struct Case {
        const char* address;
        Sockets sockets;
    };
    const Case cases[] = {
        { "unix:path=/run/user/1000/bus", { { "/run/user/1000/bus", false } } },
        { "unix:abstract=/tmp/dbus-Ab1,guid=0123", { { "/tmp/dbus-Ab1", true } } },
        { "unix:guid=9,path=/tmp/a%20b%2c", { { "/tmp/a b,", false } } },
        { "tcp:host=localhost,port=1;unix:path=/x", { { "/x", false } } },
        { "unix:path=/a;unix:abstract=b", { { "/a", false }, { "b", true } } },
        // Listening addresses, other transports, broken escapes, empty and
        // over-long paths lead nowhere.
        { "unix:tmpdir=/tmp", {} },
        { "autolaunch:", {} },
        { "", {} },
        { "unix:path=/a%2", {} },
        { "unix:path=/a%zz", {} },
        { "unix:path=", {} },
        { "unix:", {} },
        { "unixpath=/a", {} },
    };
    for (const auto& test : cases)
        EXPECT_EQ(platform::parse_bus_address(test.address), test.sockets) << test.address;
    EXPECT_TRUE(platform::parse_bus_address("unix:path=/" + std::string(200, 'x')).empty());
}

// A listening socket in a fresh folder, closed at the end.
class ListeningSocket {
public:
    ListeningSocket()
    {
        char folder[] = "/tmp/session_bus_XXXXXX";
        if (!mkdtemp(folder))
            return;
        m_folder = folder;
        path = m_folder + "/bus";
        m_descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        if (::bind(m_descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || ::listen(m_descriptor, 4) != 0)
            path.clear();
    }
    ~ListeningSocket()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        std::error_code error;
        if (!m_folder.empty())
            std::filesystem::remove_all(m_folder, error);
    }
    void close_now()
    {
        ::close(m_descriptor);
        m_descriptor = -1;
    }
    std::string folder() const { return m_folder; }

    std::string path;

private:
    std::string m_folder;
    int m_descriptor = -1;
};

// Sets an environment variable for the test's length, as it was after it.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedVariable()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(SessionBus, CountsABusOnlyWhenItsSocketTakesTheConnection)
{
    ListeningSocket bus;
    ASSERT_FALSE(bus.path.empty());
    EXPECT_TRUE(platform::accepts_connection({ bus.path, false }));
    EXPECT_FALSE(platform::accepts_connection({ bus.path + "x", false }));
    EXPECT_FALSE(platform::accepts_connection({ bus.path, true }));

    {
        ScopedVariable address("DBUS_SESSION_BUS_ADDRESS", ("unix:path=/nowhere;unix:path=" + bus.path).c_str());
        EXPECT_EQ(platform::reachable_session_bus(), "unix:path=/nowhere;unix:path=" + bus.path);
    }
    {
        // A named bus that is not there is not replaced by the per-user one.
        ScopedVariable address("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nowhere");
        ScopedVariable folder("XDG_RUNTIME_DIR", bus.folder().c_str());
        EXPECT_FALSE(platform::reachable_session_bus());
    }
    {
        ScopedVariable address("DBUS_SESSION_BUS_ADDRESS", nullptr);
        ScopedVariable folder("XDG_RUNTIME_DIR", bus.folder().c_str());
        EXPECT_EQ(platform::reachable_session_bus(), "unix:path=" + bus.path);
        ScopedVariable relative("XDG_RUNTIME_DIR", "tmp");
        EXPECT_FALSE(platform::reachable_session_bus());
    }
    // A socket file whose server has gone refuses.
    bus.close_now();
    EXPECT_FALSE(platform::accepts_connection({ bus.path, false }));
    ScopedVariable address("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + bus.path).c_str());
    EXPECT_FALSE(platform::reachable_session_bus());
}

}
