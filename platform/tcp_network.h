// SPDX-License-Identifier: GPL-3.0-or-later
// TcpNetwork: IPv4 TCP connections and listeners, as the network commands need them.
#pragma once

#include "base/result.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

enum class IoStatus {
    done,        // `count` bytes moved (at least one)
    would_block, // nothing can move now; wait and try again
    closed,      // the peer ended the stream
    failed,
};

struct IoResult {
    IoStatus status = IoStatus::failed;
    size_t count = 0;
};

enum class ConnectState { connected, pending, failed };

// One connected stream. Every call returns at once or after at most the
// time it is given: the runtime has one thread, and it must keep pumping
// its events between short waits.
class TcpSocket {
public:
    virtual ~TcpSocket() = default;

    virtual IoResult send_some(std::span<const char> bytes) = 0;
    virtual IoResult receive_some(std::span<char> buffer) = 0;

    // True once a receive would not block (data, the end, or an error).
    virtual bool wait_readable(int64_t timeout_us) = 0;
    virtual bool wait_writable(int64_t timeout_us) = 0;
    // For a socket whose connect is under way.
    virtual ConnectState wait_connected(int64_t timeout_us) = 0;

    // IPv4 addresses in host byte order; 0 when unknown.
    virtual uint32_t local_address() const = 0;
    virtual uint32_t peer_address() const = 0;
};

class TcpListener {
public:
    virtual ~TcpListener() = default;
    // The accepted connection, or a null pointer when no client came in time.
    virtual base::Result<std::unique_ptr<TcpSocket>> accept(int64_t timeout_us) = 0;
    virtual uint16_t port() const = 0;
};

// A host name lookup under way. The resolver may block for seconds (a
// dead name server), which must not freeze the program's waits.
class HostLookup {
public:
    virtual ~HostLookup() = default;
    // Waits at most `timeout_us` for the answer: nothing while the lookup
    // still runs; then the address, or an empty answer for an unknown host.
    virtual std::optional<std::optional<uint32_t>> wait(int64_t timeout_us) = 0;
};

// A lookup whose answer is already known.
std::unique_ptr<HostLookup> answered_lookup(std::optional<uint32_t> address);

class TcpNetwork {
public:
    virtual ~TcpNetwork() = default;

    // A dotted address is taken as written ("127.1" included); a host text
    // that begins with a digit is never looked up by name. Nothing when the
    // host is unknown.
    virtual std::optional<uint32_t> resolve(std::string_view host) = 0;
    // The same answer without blocking the caller. This default resolves at
    // once; a backend whose lookups can block runs them aside.
    virtual std::unique_ptr<HostLookup> start_resolve(std::string_view host);
    // Starts connecting; the socket is `pending` until wait_connected says more.
    virtual base::Result<std::unique_ptr<TcpSocket>> connect(uint32_t address, uint16_t port) = 0;
    // Listens on every local address; port 0 picks a free one.
    virtual base::Result<std::unique_ptr<TcpListener>> listen(uint16_t port) = 0;
};

// Dotted text of a host-order IPv4 address.
std::string format_ipv4(uint32_t address);

}
