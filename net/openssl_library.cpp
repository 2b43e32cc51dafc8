// SPDX-License-Identifier: GPL-3.0-or-later
// OpenSslLibrary: the TLS library's functions, loaded when the first TLS connection needs them.
#include "net/openssl_library.h"

#include <dlfcn.h>

#include <atomic>
#include <mutex>
#include <string>

namespace net {

namespace {

// The soname of the OpenSSL 3 the headers describe; its libcrypto comes
// with it, and lookups through its handle find that library's functions too.
constexpr const char* library_file = "libssl.so.3";

base::Result<const OpenSslLibrary*> load()
{
    void* handle = dlopen(library_file, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        return base::Error { std::string("TLS: cannot load ") + library_file + (reason ? std::string(": ") + reason : "") };
    }
    static OpenSslLibrary library;
    OpenSslLibrary found;
#define CORVANTE_OPENSSL_FIND(name)                                                                         \
    found.name = reinterpret_cast<decltype(found.name)>(dlsym(handle, #name));                                \
    if (!found.name)                                                                                          \
        return base::Error { std::string("TLS: ") + library_file + " has no " + #name };
    CORVANTE_OPENSSL_FUNCTIONS(CORVANTE_OPENSSL_FIND)
#undef CORVANTE_OPENSSL_FIND
    // The library stays loaded: sessions and their callbacks live until the
    // program ends.
    library = found;
    return &library;
}

}

base::Result<const OpenSslLibrary*> openssl_library()
{
    // The transport's callbacks ask on every read and write: once loaded,
    // the answer is one atomic load, without the lock.
    static std::atomic<const OpenSslLibrary*> loaded = nullptr;
    if (const OpenSslLibrary* library = loaded.load(std::memory_order_acquire))
        return library;
    static std::mutex guard;
    std::lock_guard lock(guard);
    if (const OpenSslLibrary* library = loaded.load(std::memory_order_acquire))
        return library;
    auto result = load();
    if (result)
        loaded.store(*result, std::memory_order_release);
    return result;
}

}
