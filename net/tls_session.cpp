// SPDX-License-Identifier: GPL-3.0-or-later
// TlsSession: the client side of one TLS connection, on OpenSSL.
#include "net/tls_session.h"

#include "net/openssl_library.h"

#include <arpa/inet.h>
#include <string>

namespace net {

namespace {

// The transport's callbacks run inside the library's calls, so the library
// is loaded by the time they run.
const OpenSslLibrary& library()
{
    return **openssl_library();
}

platform::TcpSocket& socket_of(BIO* bio)
{
    return *static_cast<platform::TcpSocket*>(library().BIO_get_data(bio));
}

// The transport: OpenSSL asks for and hands over raw bytes, and they go to
// the connection's socket, whatever backend it has.
int transport_read(BIO* bio, char* data, size_t length, size_t* done)
{
    library().clear_retry_flags(bio);
    auto result = socket_of(bio).receive_some({ data, length });
    if (result.status == platform::IoStatus::done) {
        *done = result.count;
        return 1;
    }
    if (result.status == platform::IoStatus::would_block)
        library().set_retry_read(bio);
    return 0;
}

int transport_write(BIO* bio, const char* data, size_t length, size_t* done)
{
    library().clear_retry_flags(bio);
    auto result = socket_of(bio).send_some({ data, length });
    if (result.status == platform::IoStatus::done) {
        *done = result.count;
        return 1;
    }
    if (result.status == platform::IoStatus::would_block)
        library().set_retry_write(bio);
    return 0;
}

long transport_control(BIO*, int command, long, void*)
{
    return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int transport_create(BIO* bio)
{
    library().BIO_set_init(bio, 1);
    return 1;
}

bool is_ipv4_literal(const std::string& host)
{
    in_addr address {};
    return inet_pton(AF_INET, host.c_str(), &address) == 1;
}

}

base::Result<std::unique_ptr<TlsSession>> TlsSession::create(platform::TcpSocket& socket, std::string_view host, bool verify)
{
    std::string host_text(host);
    if (host_text.find('\0') != std::string::npos)
        return base::Error { "TLS: host name holds a zero byte" };
    auto loaded = openssl_library();
    if (!loaded)
        return loaded.error();
    const OpenSslLibrary& ssl = **loaded;
    std::unique_ptr<TlsSession> session(new TlsSession);
    session->m_library = &ssl;
    session->m_context = ssl.SSL_CTX_new(ssl.TLS_client_method());
    if (!session->m_context)
        return base::Error { "TLS: no context" };
    if (verify) {
        ssl.SSL_CTX_set_default_verify_paths(session->m_context);
        ssl.SSL_CTX_set_verify(session->m_context, SSL_VERIFY_PEER, nullptr);
    }
    session->m_ssl = ssl.SSL_new(session->m_context);
    session->m_method = ssl.BIO_meth_new(ssl.BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "corvante socket");
    if (!session->m_ssl || !session->m_method)
        return base::Error { "TLS: no session" };
    ssl.BIO_meth_set_read_ex(session->m_method, transport_read);
    ssl.BIO_meth_set_write_ex(session->m_method, transport_write);
    ssl.BIO_meth_set_ctrl(session->m_method, transport_control);
    ssl.BIO_meth_set_create(session->m_method, transport_create);
    BIO* bio = ssl.BIO_new(session->m_method);
    if (!bio)
        return base::Error { "TLS: no transport" };
    ssl.BIO_set_data(bio, &socket);
    ssl.SSL_set_bio(session->m_ssl, bio, bio);
    ssl.set_host_name(session->m_ssl, host_text.c_str());
    if (verify) {
        // OpenSSL checks the name only when it is told which name to expect.
        X509_VERIFY_PARAM* parameters = ssl.SSL_get0_param(session->m_ssl);
        if (is_ipv4_literal(host_text))
            ssl.X509_VERIFY_PARAM_set1_ip_asc(parameters, host_text.c_str());
        else
            ssl.SSL_set1_host(session->m_ssl, host_text.c_str());
    }
    ssl.SSL_set_connect_state(session->m_ssl);
    return session;
}

TlsSession::~TlsSession()
{
    if (m_ssl) {
        // A polite close when the transport takes it at once; a peer that is
        // gone does not hold the close up.
        if (m_library->SSL_is_init_finished(m_ssl))
            m_library->SSL_shutdown(m_ssl);
        m_library->SSL_free(m_ssl);
    }
    if (m_method)
        m_library->BIO_meth_free(m_method);
    if (m_context)
        m_library->SSL_CTX_free(m_context);
}

TlsSession::Step TlsSession::handshake()
{
    m_library->ERR_clear_error();
    int result = m_library->SSL_connect(m_ssl);
    if (result == 1)
        return Step::done;
    switch (m_library->SSL_get_error(m_ssl, result)) {
    case SSL_ERROR_WANT_READ:
        return Step::want_read;
    case SSL_ERROR_WANT_WRITE:
        return Step::want_write;
    default:
        m_verify_result = m_library->SSL_get_verify_result(m_ssl);
        return Step::failed;
    }
}

platform::IoResult TlsSession::read(std::span<char> buffer)
{
    m_library->ERR_clear_error();
    size_t count = 0;
    int result = m_library->SSL_read_ex(m_ssl, buffer.data(), buffer.size(), &count);
    if (result == 1)
        return { platform::IoStatus::done, count };
    int error = m_library->SSL_get_error(m_ssl, result);
    switch (error) {
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
        return { platform::IoStatus::would_block, 0 };
    case SSL_ERROR_ZERO_RETURN:
    case SSL_ERROR_SYSCALL:
        return { platform::IoStatus::closed, 0 };
    default:
        m_last_error = error;
        return { platform::IoStatus::failed, 0 };
    }
}

platform::IoResult TlsSession::write(std::span<const char> bytes)
{
    if (bytes.empty())
        return { platform::IoStatus::done, 0 };
    m_library->ERR_clear_error();
    size_t count = 0;
    int result = m_library->SSL_write_ex(m_ssl, bytes.data(), bytes.size(), &count);
    if (result == 1)
        return { platform::IoStatus::done, count };
    switch (m_library->SSL_get_error(m_ssl, result)) {
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
        return { platform::IoStatus::would_block, 0 };
    case SSL_ERROR_ZERO_RETURN:
        return { platform::IoStatus::closed, 0 };
    default:
        return { platform::IoStatus::failed, 0 };
    }
}

bool TlsSession::has_pending() const
{
    return m_library->SSL_pending(m_ssl) > 0;
}

std::string TlsSession::failure_text() const
{
    if (m_verify_result != X509_V_OK)
        return m_library->X509_verify_cert_error_string(m_verify_result);
    return "handshake failed";
}

}
