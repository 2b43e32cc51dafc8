// SPDX-License-Identifier: GPL-3.0-or-later
// SharedLibrary: a system library loaded by the feature that needs it, on first use.
#include "platform/shared_library.h"

#include <dlfcn.h>

namespace platform {

base::Result<SharedLibrary> SharedLibrary::open(const std::string& file)
{
    // RTLD_LOCAL: the library's names stay out of the lookups of libraries
    // loaded later, as if each feature had linked its own.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        return base::Error { reason ? std::string(reason) : "cannot load " + file };
    }
    return SharedLibrary(handle, file);
}

void* SharedLibrary::symbol(const char* name) const
{
    return dlsym(m_handle, name);
}

}
