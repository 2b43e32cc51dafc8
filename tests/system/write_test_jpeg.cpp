// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the four-quarter test JPEG, for the tests that show it in a real window.
#include "tests/system/test_pictures.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: write_test_jpeg FILE WIDTH HEIGHT\n");
        return 2;
    }
    int width = std::atoi(argv[2]);
    int height = std::atoi(argv[3]);
    if (width < 2 || height < 2 || width > 4096 || height > 4096) {
        std::fprintf(stderr, "write_test_jpeg: a size of 2 to 4096 pixels each way\n");
        return 2;
    }
    if (!test_pictures::write_quarters_jpeg(argv[1], width, height)) {
        std::fprintf(stderr, "write_test_jpeg: cannot write '%s'\n", argv[1]);
        return 1;
    }
    return 0;
}
