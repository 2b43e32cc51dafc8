// SPDX-License-Identifier: GPL-3.0-or-later
// A child program for the process tests: it does one small thing per mode.
//
//   talk           writes "out-line" to its output and "err-line" to its
//                  error stream, then answers the first line it reads
//                  with "got:" and the line
//   sleep MS       sleeps, then ends
//   exit           ends at once
//   hold PATH N    locks the file PATH, starts N threads, and sleeps until
//                  it is killed, the way a server holds its lock
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <vector>
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
    if (std::strcmp(argv[1], "hold") == 0 && argc > 3) {
        int lock = open(argv[2], O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lock < 0 || flock(lock, LOCK_EX) != 0)
            return 3;
        std::vector<std::thread> threads;
        for (int i = 0; i < std::atoi(argv[3]); ++i)
            threads.emplace_back([] { std::this_thread::sleep_for(std::chrono::hours(1)); });
        for (auto& thread : threads)
            thread.join();
        return 0;
    }
    return 2;
}
