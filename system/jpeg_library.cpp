// SPDX-License-Identifier: GPL-3.0-or-later
// JpegLibrary: libjpeg's decoding functions, loaded when the first JPEG picture is shown.
#include "system/jpeg_library.h"

#include "platform/shared_library.h"

#include <string>

namespace sys {

namespace {

base::Result<JpegLibrary> load()
{
    // The soname follows the library version of the header this program
    // is built with: the structures passed in must have its layout.
    auto library = platform::SharedLibrary::open("libjpeg.so." + std::to_string(JPEG_LIB_VERSION));
    if (!library)
        return library.error();
    JpegLibrary found;
#define CORVANTE_JPEG_FIND(name)                                                                                   \
    if (auto found_function = library->find(found.name, #name); !found_function)                                    \
        return found_function.error();
    CORVANTE_JPEG_FUNCTIONS(CORVANTE_JPEG_FIND)
#undef CORVANTE_JPEG_FIND
    return found;
}

}

base::Result<const JpegLibrary*> jpeg_library()
{
    return platform::load_library_once<JpegLibrary, load>();
}

}
