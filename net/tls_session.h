// SPDX-License-Identifier: GPL-3.0-or-later
// TlsSession: the client side of one TLS connection, on OpenSSL.
#pragma once

#include "base/result.h"
#include "platform/tcp_network.h"

#include <memory>
#include <string_view>

struct ssl_st;
struct ssl_ctx_st;
struct bio_method_st;

namespace net {

struct OpenSslLibrary;

// Each connection has its own session (context, SSL object and transport),
// so that a second TLS connection never disturbs the first. The session
// moves its bytes through the connection's TcpSocket, never blocking:
// every call reports `would_block` and the caller waits, bounded and with
// the event loop pumping.
class TlsSession {
public:
    enum class Step { done, want_read, want_write, failed };

    // `verify`: check the server's certificate against the system's trust
    // store (SSL_CERT_FILE and SSL_CERT_DIR are honoured) and its name
    // against `host`.
    static base::Result<std::unique_ptr<TlsSession>> create(platform::TcpSocket& socket, std::string_view host, bool verify);
    ~TlsSession();
    TlsSession(const TlsSession&) = delete;
    TlsSession& operator=(const TlsSession&) = delete;

    // One step of the handshake.
    Step handshake();

    platform::IoResult read(std::span<char> buffer);
    platform::IoResult write(std::span<const char> bytes);
    // Bytes decrypted and not yet read.
    bool has_pending() const;
    // The SSL library's error code of the last read that failed with an
    // error other than the peer closing.
    int last_error() const { return m_last_error; }
    // Why the handshake failed, for logs and tests.
    std::string failure_text() const;

private:
    TlsSession() = default;

    const OpenSslLibrary* m_library = nullptr;
    ssl_ctx_st* m_context = nullptr;
    ssl_st* m_ssl = nullptr;
    bio_method_st* m_method = nullptr;
    int m_last_error = 0;
    long m_verify_result = 0;
};

}
