// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the connection line reader with a peer that sends arbitrary bytes in arbitrary pieces.
#include "interpreter/host.h"
#include "net/line_reader.h"
#include "platform/clock.h"
#include "tests/support/memory_tcp_network.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class SilentHost final : public interpreter::Host {
public:
    void write_text(std::string_view) override { }
    void end_line() override { }
    void speak_text(std::string_view) override { }
    bool speech_busy() override { return false; }
    bool key_waiting() override { return false; }
    uint8_t read_key() override { return 13; }
    void pause_ms(int) override { }
    interpreter::TimeOfDay local_time() override { return {}; }
    uint32_t random_seed() override { return 1; }
};

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the size of the pieces the peer sends in.
    size_t piece = size_t(data[0]) * 16 + 1;
    std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);

    platform::MemoryTcpNetwork network;
    auto listener = network.listen(0);
    auto client = network.connect(0x7F000001, (*listener)->port());
    auto peer = std::move(*(*listener)->accept(0));
    net::Connection connection(std::move(*client), nullptr);
    net::LineReader reader(connection);
    SilentHost host;
    platform::VirtualClock clock;
    net::WaitContext wait { host, clock, 0 };

    size_t sent = 0;
    size_t total_out = 0;
    bool bounded = data[0] & 1;
    std::string line;
    for (int round = 0; round < 10000; ++round) {
        if (sent < stream.size()) {
            auto part = stream.substr(sent, piece);
            (void)peer->send_some({ part.data(), part.size() });
            sent += part.size();
            if (sent == stream.size())
                peer.reset();
        }
        if (bounded) {
            line.clear();
            auto status = reader.read_bounded_line(wait, 1, 512, line);
            if (status == net::LineStatus::line && line.find('\n') != std::string::npos)
                std::abort();
            if (status == net::LineStatus::ended || status == net::LineStatus::too_long)
                break;
        } else {
            bool got = reader.read_line(wait, 1, line);
            if (line.find('\n') != std::string::npos || line.size() > net::max_line_length)
                std::abort();
            total_out += line.size();
            if (!got && !peer)
                break;
        }
    }
    // Lines never hold more bytes than were sent.
    if (total_out > stream.size())
        std::abort();
    return 0;
}
