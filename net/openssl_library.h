// SPDX-License-Identifier: GPL-3.0-or-later
// OpenSslLibrary: the TLS library's functions, loaded when the first TLS connection needs them.
#pragma once

#include "base/result.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

namespace net {

// Linking OpenSSL into the programs cost every start about 1.6 ms (its
// libraries are large and set themselves up as they load), most of the
// start of a script that never opens a TLS connection. The functions
// TlsSession uses are found here instead, in the system's libssl.so.3, the
// first time a session is made. The declarations of the headers give each
// pointer its exact type; the header macros TlsSession needs are spelt out
// with the functions they stand for.
struct OpenSslLibrary {
#define CORVANTE_OPENSSL_FUNCTIONS(F)                                                                              \
    F(BIO_clear_flags) F(BIO_get_data) F(BIO_get_new_index) F(BIO_meth_free) F(BIO_meth_new) F(BIO_meth_set_create) \
    F(BIO_meth_set_ctrl) F(BIO_meth_set_read_ex) F(BIO_meth_set_write_ex) F(BIO_new) F(BIO_set_data)               \
    F(BIO_set_flags) F(BIO_set_init) F(ERR_clear_error) F(SSL_CTX_free) F(SSL_CTX_new)                            \
    F(SSL_CTX_set_default_verify_paths) F(SSL_CTX_set_verify) F(SSL_connect) F(SSL_ctrl) F(SSL_free)             \
    F(SSL_get0_param) F(SSL_get_error) F(SSL_get_verify_result) F(SSL_is_init_finished) F(SSL_new) F(SSL_pending) \
    F(SSL_read_ex) F(SSL_set1_host) F(SSL_set_bio) F(SSL_set_connect_state) F(SSL_shutdown) F(SSL_write_ex)       \
    F(TLS_client_method) F(X509_VERIFY_PARAM_set1_ip_asc) F(X509_verify_cert_error_string)
#define CORVANTE_OPENSSL_POINTER(name) decltype(&::name) name = nullptr;
    CORVANTE_OPENSSL_FUNCTIONS(CORVANTE_OPENSSL_POINTER)
#undef CORVANTE_OPENSSL_POINTER

    // SSL_set_tlsext_host_name.
    void set_host_name(SSL* ssl, const char* name) const
    {
        SSL_ctrl(ssl, SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name, const_cast<char*>(name));
    }
    // BIO_clear_retry_flags, BIO_set_retry_read and BIO_set_retry_write.
    void clear_retry_flags(BIO* bio) const { BIO_clear_flags(bio, BIO_FLAGS_RWS | BIO_FLAGS_SHOULD_RETRY); }
    void set_retry_read(BIO* bio) const { BIO_set_flags(bio, BIO_FLAGS_READ | BIO_FLAGS_SHOULD_RETRY); }
    void set_retry_write(BIO* bio) const { BIO_set_flags(bio, BIO_FLAGS_WRITE | BIO_FLAGS_SHOULD_RETRY); }
};

// The library, loaded on the first call and kept until the program ends;
// an error naming what is missing when it cannot be loaded (then every
// call tries again, so installing it helps without a restart).
base::Result<const OpenSslLibrary*> openssl_library();

}
