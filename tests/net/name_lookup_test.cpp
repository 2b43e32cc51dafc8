// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of host name lookups that must not block the program's waits.
#include "tests/support/memory_tcp_network.h"
#include "platform/posix/posix_tcp_network.h"
#include "tests/net/test_runtime.h"

#include <gtest/gtest.h>

namespace {

TEST(NameLookup, PosixNamesAreAnsweredAsideAndNumbersAtOnce)
{
    platform::PosixTcpNetwork network;
    auto local = network.start_resolve("localhost");
    std::optional<std::optional<uint32_t>> answer;
    for (int slice = 0; slice < 500 && !answer; ++slice)
        answer = local->wait(10000);
    ASSERT_TRUE(answer.has_value()) << "localhost was not looked up within 5 s";
    EXPECT_EQ(*answer, std::optional<uint32_t>(0x7F000001u));

    auto dotted = network.start_resolve("10.1.2.3");
    EXPECT_EQ(dotted->wait(0), std::optional<std::optional<uint32_t>>(std::optional<uint32_t>(0x0A010203u)));
    auto malformed = network.start_resolve("1host");
    auto none = malformed->wait(0);
    ASSERT_TRUE(none.has_value());
    EXPECT_FALSE(none->has_value());
}

// A network whose name lookups answer only after a number of waits (or
// never), over the in-memory sockets.
class SlowLookupNetwork final : public platform::TcpNetwork {
public:
    class Lookup final : public platform::HostLookup {
    public:
        Lookup(SlowLookupNetwork& network, std::optional<uint32_t> address)
            : m_network(network)
            , m_address(address)
        {
        }
        std::optional<std::optional<uint32_t>> wait(int64_t timeout_us) override
        {
            ++m_network.waits;
            m_network.longest_wait_us = std::max(m_network.longest_wait_us, timeout_us);
            m_network.shortest_wait_us = std::min(m_network.shortest_wait_us, timeout_us);
            if (m_network.answer_after < 0 || m_network.waits <= m_network.answer_after)
                return std::nullopt;
            return m_address;
        }

    private:
        SlowLookupNetwork& m_network;
        std::optional<uint32_t> m_address;
    };

    std::optional<uint32_t> resolve(std::string_view host) override { return memory.resolve(host); }
    std::unique_ptr<platform::HostLookup> start_resolve(std::string_view host) override
    {
        return std::make_unique<Lookup>(*this, memory.resolve(host));
    }
    base::Result<std::unique_ptr<platform::TcpSocket>> connect(uint32_t address, uint16_t port) override
    {
        return memory.connect(address, port);
    }
    base::Result<std::unique_ptr<platform::TcpListener>> listen(uint16_t port) override { return memory.listen(port); }

    platform::MemoryTcpNetwork memory;
    int answer_after = 0; // negative: never
    int waits = 0;
    int64_t longest_wait_us = 0;
    int64_t shortest_wait_us = INT64_MAX;
};

TEST(NameLookup, ConnectingWaitsForTheLookupInSlicesWithinThePeerLimit)
{
    net_tests::TestRuntime<SlowLookupNetwork> test(200);
    auto listener = test.network.listen(7);
    test.network.answer_after = 3;
    ASSERT_TRUE(test.run("CONECTA", "#1 \"localhost\" 7 &"));
    EXPECT_EQ(test.runtime->io_status, 0);
    EXPECT_EQ(test.network.waits, 4);
    // Never a zero wait, which would spin.
    EXPECT_GE(test.network.shortest_wait_us, 10000);

    // A lookup that never answers ends with the peer limit, as an unknown host.
    test.network.answer_after = -1;
    test.network.waits = 0;
    ASSERT_TRUE(test.run("CONECTA", "#2 \"localhost\" 7 &"));
    EXPECT_EQ(test.runtime->io_status, 1);
    EXPECT_FALSE(test.channels.is_open(2));
    EXPECT_GE(static_cast<int64_t>(test.network.waits) * test.network.longest_wait_us, 200000);
    EXPECT_LE(test.network.waits, 200000 / 10000 + 1);
}

}
