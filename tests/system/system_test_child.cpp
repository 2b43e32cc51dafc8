// SPDX-License-Identifier: GPL-3.0-or-later
// A child program for the process tests: it does one small thing per mode.
//
//   talk           writes "out-line" to its output and "err-line" to its
//                  error stream, then answers the first line it reads
//                  with "got:" and the line
//   sleep MS       sleeps, then ends
//   exit           ends at once
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    if (std::strcmp(argv[1], "talk") == 0) {
        std::fputs("out-line\n", stdout);
        std::fflush(stdout);
        std::fputs("err-line\n", stderr);
        std::fflush(stderr);
        std::string line;
        if (!std::getline(std::cin, line))
            return 3;
        std::printf("got:%s\n", line.c_str());
        return 0;
    }
    if (std::strcmp(argv[1], "sleep") == 0 && argc > 2) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
        return 0;
    }
    if (std::strcmp(argv[1], "exit") == 0)
        return 0;
    return 2;
}
