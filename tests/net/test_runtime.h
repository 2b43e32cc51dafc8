// SPDX-License-Identifier: GPL-3.0-or-later
// TestRuntime: a runtime with the network state, a channel table and a recording host.
#pragma once

#include "files/channel_table.h"
#include "interpreter/command_table.h"
#include "interpreter/run_loop.h"
#include "interpreter/runtime.h"
#include "net/network_state.h"
#include "net/network_statements.h"
#include "platform/clock.h"
#include "platform/posix/posix_tcp_network.h"
#include "tests/net/recording_host.h"

#include <memory>

namespace net_tests {

template<typename Network = platform::PosixTcpNetwork>
struct TestRuntime {
    explicit TestRuntime(int64_t peer_limit_ms = 3000)
    {
        net::bind_network_statements(table);
        runtime = std::make_unique<interpreter::Runtime>(host, table);
        interpreter::reset_interpreter(*runtime);
        runtime->subsystems.channels = &channels;
        runtime->subsystems.network = &state;
        net::NetworkOptions options;
        options.peer_limit_ms = peer_limit_ms;
        state.set_fixed_options(options);
    }

    bool run(std::string_view keyword, std::string_view rest) { return interpreter::execute_statement(*runtime, keyword, rest); }
    std::string variable(char letter) { return runtime->variables.text(letter); }

    RecordingHost host;
    interpreter::CommandTable table;
    files::ChannelTable channels;
    Network network;
    platform::SystemClock clock;
    net::NetworkState state { network, clock };
    std::unique_ptr<interpreter::Runtime> runtime;
};

}
