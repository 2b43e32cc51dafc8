// SPDX-License-Identifier: GPL-3.0-or-later
// BrlapiLibrary: BrlAPI's functions, loaded when braille is first started.
#include "platform/brlapi/brlapi_library.h"

#include "platform/shared_library.h"

namespace platform {

namespace {

base::Result<BrlapiLibrary> load()
{
    // The soname of the library whose header this program is built with.
    auto library = SharedLibrary::open(
        "libbrlapi.so." + std::to_string(BRLAPI_MAJOR) + "." + std::to_string(BRLAPI_MINOR));
    if (!library)
        return library.error();
    BrlapiLibrary found;
#define CORVANTE_BRLAPI_FIND(name)                                                                                 \
    if (auto found_function = library->find(found.name, #name); !found_function)                                    \
        return found_function.error();
    CORVANTE_BRLAPI_FUNCTIONS(CORVANTE_BRLAPI_FIND)
#undef CORVANTE_BRLAPI_FIND
    return found;
}

}

base::Result<const BrlapiLibrary*> brlapi_library()
{
    return load_library_once<BrlapiLibrary, load>();
}

}
