// SPDX-License-Identifier: GPL-3.0-or-later
// embed_script SCRIPT.cor OUTPUT.cpp: the build step that puts nubrado's script inside it.
#include "app/script_embedding.h"
#include "app/script_file.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: embed_script SCRIPT.cor OUTPUT.cpp\n", stderr);
        return 2;
    }
    // The script is read as corvante reads a script file, so that running
    // app/nubrado.cor with corvante and running nubrado store the same lines.
    auto lines = app::read_script_file(argv[1]);
    if (!lines) {
        std::fprintf(stderr, "embed_script: %s\n", lines.error().message.c_str());
        return 1;
    }
    std::string source = app::embedded_script_source(*lines, "app/nubrado.cor");
    // Written whole or not at all: a half-written file would break the
    // next build in a confusing place.
    std::string temporary = std::string(argv[2]) + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << source;
        if (!out.flush()) {
            std::fprintf(stderr, "embed_script: cannot write '%s'\n", temporary.c_str());
            return 1;
        }
    }
    if (std::rename(temporary.c_str(), argv[2]) != 0) {
        std::fprintf(stderr, "embed_script: cannot write '%s'\n", argv[2]);
        return 1;
    }
    return 0;
}
