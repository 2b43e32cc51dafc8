// SPDX-License-Identifier: GPL-3.0-or-later
// EspeakLibrary: espeak-ng's functions, loaded when the espeak-ng engine is first chosen.
#pragma once

#include "base/result.h"

#include <espeak-ng/speak_lib.h>

namespace speech {

// libespeak-ng brings its sound library and the PulseAudio client along;
// linked into the programs, they cost every run several milliseconds at
// start, though this program only takes espeak-ng's samples and plays
// them itself. The functions EspeakEngine uses are found here instead,
// the first time the engine is opened. The header's declarations give each
// pointer its exact type.
struct EspeakLibrary {
#define CORVANTE_ESPEAK_FUNCTIONS(F)                                                                              \
    F(espeak_Initialize) F(espeak_ListVoices) F(espeak_SetParameter) F(espeak_SetSynthCallback)                   \
    F(espeak_SetVoiceByName) F(espeak_Synth)
#define CORVANTE_ESPEAK_POINTER(name) decltype(&::name) name = nullptr;
    CORVANTE_ESPEAK_FUNCTIONS(CORVANTE_ESPEAK_POINTER)
#undef CORVANTE_ESPEAK_POINTER
};

// The library, loaded on the first call and kept until the program ends;
// an error naming what is missing when it cannot be loaded.
base::Result<const EspeakLibrary*> espeak_library();

}
