// SPDX-License-Identifier: GPL-3.0-or-later
// JpegLibrary: libjpeg's decoding functions, loaded when the first JPEG picture is shown.
#pragma once

#include "base/result.h"

#include <cstdio>

#include <jpeglib.h>

namespace sys {

// Only IMAGEM with a JPEG file needs the library; linked into the programs
// it would be loaded by every run. The functions the decoder uses are found
// here instead, the first time a JPEG is converted. The header's
// declarations give each pointer its exact type; jpeg_create_decompress,
// a macro, is jpeg_CreateDecompress with the header's version and size.
struct JpegLibrary {
#define CORVANTE_JPEG_FUNCTIONS(F)                                                                                \
    F(jpeg_CreateDecompress) F(jpeg_destroy_decompress) F(jpeg_finish_decompress) F(jpeg_read_header)            \
    F(jpeg_read_scanlines) F(jpeg_start_decompress) F(jpeg_std_error) F(jpeg_stdio_src)
#define CORVANTE_JPEG_POINTER(name) decltype(&::name) name = nullptr;
    CORVANTE_JPEG_FUNCTIONS(CORVANTE_JPEG_POINTER)
#undef CORVANTE_JPEG_POINTER
};

// The library, loaded on the first call and kept until the program ends;
// an error naming what is missing when it cannot be loaded.
base::Result<const JpegLibrary*> jpeg_library();

}
