// SPDX-License-Identifier: GPL-3.0-or-later
// AtspiLibrary: the accessibility library's functions, loaded by the first MSAA command.
#include "platform/atspi/atspi_library.h"

#include <dlfcn.h>

#include <string>

namespace platform {

namespace {

constexpr const char* library_file = "libatspi.so.0";

base::Result<AtspiLibrary> load()
{
    void* handle = dlopen(library_file, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        return base::Error { std::string("accessibility: cannot load ") + library_file
            + (reason ? std::string(": ") + reason : "") };
    }
    AtspiLibrary found;
#define CORVANTE_ATSPI_FIND(name)                                                                                 \
    found.name = reinterpret_cast<decltype(found.name)>(dlsym(handle, #name));                                     \
    if (!found.name)                                                                                               \
        return base::Error { std::string("accessibility: ") + library_file + " has no " + #name };
    CORVANTE_ATSPI_FUNCTIONS(CORVANTE_ATSPI_FIND)
#undef CORVANTE_ATSPI_FIND
    return found;
}

}

base::Result<const AtspiLibrary*> atspi_library()
{
    // Only the interpreter's thread asks, so no lock: the library's own
    // callbacks come on that thread too, from the GLib loop it pumps.
    static AtspiLibrary library;
    static bool loaded = false;
    if (loaded)
        return &library;
    auto result = load();
    if (!result)
        return result.error();
    library = *result;
    loaded = true;
    return &library;
}

}
