// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the SDL2 module from the program's folder with dlopen.
#include "platform/sdl_module.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <string>

namespace platform {

std::string program_folder()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    std::string folder(path, static_cast<size_t>(length));
    return folder.substr(0, folder.rfind('/') + 1);
}

base::Result<const SdlModule*> load_sdl_module(const std::string& folder)
{
    std::string path = folder + sdl_module_file;
    // Loading a loaded module again only counts it once more; it is never
    // unloaded, as the objects it makes live until the program ends.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        return base::Error { reason ? reason : "cannot load " + path };
    }
    auto entry = reinterpret_cast<SdlModuleEntry>(dlsym(handle, sdl_module_entry));
    if (!entry)
        return base::Error { path + " has no " + sdl_module_entry };
    return entry();
}

}
