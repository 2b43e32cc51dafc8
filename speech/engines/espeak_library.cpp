// SPDX-License-Identifier: GPL-3.0-or-later
// EspeakLibrary: espeak-ng's functions, loaded when the espeak-ng engine is first chosen.
#include "speech/engines/espeak_library.h"

#include "platform/shared_library.h"

namespace speech {

namespace {

// The soname of the library whose header this program is built with.
constexpr const char* library_file = "libespeak-ng.so.1";

base::Result<EspeakLibrary> load()
{
    auto library = platform::SharedLibrary::open(library_file);
    if (!library)
        return library.error();
    EspeakLibrary found;
#define CORVANTE_ESPEAK_FIND(name)                                                                                 \
    if (auto found_function = library->find(found.name, #name); !found_function)                                    \
        return found_function.error();
    CORVANTE_ESPEAK_FUNCTIONS(CORVANTE_ESPEAK_FIND)
#undef CORVANTE_ESPEAK_FIND
    return found;
}

}

base::Result<const EspeakLibrary*> espeak_library()
{
    return platform::load_library_once<EspeakLibrary, load>();
}

}
