// SPDX-License-Identifier: GPL-3.0-or-later
// PhonemeLineLibrary: the diphone synthesiser library's 23 functions, found by name.
#pragma once

#include "base/result.h"

#include <string>
#include <vector>

namespace speech {

// The synthesiser is a library outside the program, ours or one a user
// installs; a compatible one is used the same way. Of its calls the voice
// uses seven; the others must be present all the same, so that a library
// that is not a whole synthesiser is never half used.
struct PhonemeLineLibrary {
    int (*init_MBR)(char* database_path) = nullptr;
    int (*reset_MBR)() = nullptr;
    void (*setNoError_MBR)(int no_error) = nullptr;
    int (*write_MBR)(char* lines) = nullptr;
    int (*flush_MBR)() = nullptr;
    int (*read_MBR)(short* buffer, int max_samples) = nullptr;
    void (*close_MBR)() = nullptr;
    std::string file; // the file it was loaded from
};

// The names every synthesiser library must have.
const std::vector<const char*>& phoneme_line_library_names();

// Loads the first of `files` (system paths, in the order they are tried)
// that opens and has all 23 functions.
base::Result<PhonemeLineLibrary> load_phoneme_line_library(const std::vector<std::string>& files);

}
