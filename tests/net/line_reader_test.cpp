// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/line_reader.h"

#include "platform/clock.h"
#include "tests/support/memory_tcp_network.h"
#include "tests/net/recording_host.h"

#include <gtest/gtest.h>

namespace {

// A connection to an in-memory peer that the test writes to directly.
struct MemoryPair {
    MemoryPair()
    {
        auto listener = network.listen(0);
        auto client = network.connect(0x7F000001, (*listener)->port());
        auto accepted = (*listener)->accept(0);
        peer = std::move(*accepted);
        connection = std::make_unique<net::Connection>(std::move(*client), nullptr);
        reader = std::make_unique<net::LineReader>(*connection);
    }
    void send(std::string_view text) { (void)peer->send_some({ text.data(), text.size() }); }

    platform::MemoryTcpNetwork network;
    std::unique_ptr<platform::TcpSocket> peer;
    std::unique_ptr<net::Connection> connection;
    std::unique_ptr<net::LineReader> reader;
    net_tests::RecordingHost host;
    platform::VirtualClock clock;
    net::WaitContext wait { host, clock, 20000 };
};

TEST(LineReader, EndsLinesAtLineFeedsAndDropsOneCarriageReturn)
{
    MemoryPair pair;
    pair.send("primeira\r\nsegunda\nterceira\r\r\ncom\rcr\nultima");
    pair.peer.reset();
    std::string line;
    const char* expected[] = { "primeira", "segunda", "terceira\r", "com\rcr", "ultima" };
    for (auto* text : expected) {
        ASSERT_TRUE(pair.reader->read_line(pair.wait, 30, line));
        EXPECT_EQ(line, text);
    }
    EXPECT_FALSE(pair.reader->read_line(pair.wait, 30, line));
    EXPECT_EQ(line, "");
}

TEST(LineReader, LimitCountsPausesOfTheWholeLine)
{
    MemoryPair pair;
    pair.send("sem fim");
    std::string line;
    EXPECT_FALSE(pair.reader->read_line(pair.wait, 3, line));
    EXPECT_EQ(line, "sem fim");
    // 3 seconds are 30 pauses of 100 ms; the read gives up at the 31st.
    EXPECT_EQ(pair.host.paused_ms, 3100);
}

TEST(LineReader, CrossesBufferBoundaries)
{
    MemoryPair pair;
    std::string long_line(10000, 'x');
    pair.send(long_line + "\r\n" + "depois\n");
    std::string line;
    ASSERT_TRUE(pair.reader->read_line(pair.wait, 1, line));
    EXPECT_EQ(line, long_line);
    ASSERT_TRUE(pair.reader->read_line(pair.wait, 1, line));
    EXPECT_EQ(line, "depois");
}

TEST(LineReader, BoundedLinesStopAtSilenceLengthAndKeys)
{
    MemoryPair pair;
    pair.send("HTTP/1.0 200 OK\r\nX: ");
    std::string line;
    EXPECT_EQ(pair.reader->read_bounded_line(pair.wait, 1000, 100, line), net::LineStatus::line);
    EXPECT_EQ(line, "HTTP/1.0 200 OK");
    line.clear();
    EXPECT_EQ(pair.reader->read_bounded_line(pair.wait, 1000, 100, line), net::LineStatus::timed_out);
    EXPECT_EQ(line, "X: ");

    pair.send(std::string(200, 'a'));
    EXPECT_EQ(pair.reader->read_bounded_line(pair.wait, 1000, 100, line), net::LineStatus::too_long);

    MemoryPair keyed;
    keyed.host.keys.push_back(27);
    line.clear();
    EXPECT_EQ(keyed.reader->read_bounded_line(keyed.wait, 1000, 100, line), net::LineStatus::key_waiting);
    keyed.send("resto\n");
    EXPECT_EQ(keyed.reader->read_bounded_line(keyed.wait, 1000, 100, line), net::LineStatus::line);
    EXPECT_EQ(line, "resto");
}

TEST(LineReader, DataReadyPumpsTheHostEvenWithoutData)
{
    MemoryPair pair;
    EXPECT_FALSE(pair.reader->has_data(pair.wait));
    EXPECT_GT(pair.host.pumps, 0);
    pair.send("x");
    EXPECT_TRUE(pair.reader->has_data(pair.wait));
}

}
