// SPDX-License-Identifier: GPL-3.0-or-later
// BrlapiLibrary: BrlAPI's functions, loaded when braille is first started.
#pragma once

#include "base/result.h"

#include <brlapi.h>

namespace platform {

// Most runs start no braille display; linked into the programs, libbrlapi
// would be loaded by all of them. The functions the display uses are found
// here instead, when a display is first looked for. The header's
// declarations give each pointer its exact type.
struct BrlapiLibrary {
#define CORVANTE_BRLAPI_FUNCTIONS(F)                                                                              \
    F(brlapi_getHandleSize) F(brlapi__closeConnection) F(brlapi__enterTtyModeWithPath) F(brlapi__getDisplaySize) \
    F(brlapi__getDriverName) F(brlapi__getFileDescriptor) F(brlapi__getModelIdentifier) F(brlapi__leaveTtyMode)   \
    F(brlapi__openConnection) F(brlapi__readKey) F(brlapi__setExceptionHandler) F(brlapi__setParameter)           \
    F(brlapi__writeDots)
#define CORVANTE_BRLAPI_POINTER(name) decltype(&::name) name = nullptr;
    CORVANTE_BRLAPI_FUNCTIONS(CORVANTE_BRLAPI_POINTER)
#undef CORVANTE_BRLAPI_POINTER
};

// The library, loaded on the first call and kept until the program ends;
// an error naming what is missing when it cannot be loaded.
base::Result<const BrlapiLibrary*> brlapi_library();

}
