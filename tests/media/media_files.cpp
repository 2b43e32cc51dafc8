// SPDX-License-Identifier: GPL-3.0-or-later
// MediaFiles: sound files of known content, made for the media tests by sox and lame.
#include "tests/media/media_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdlib.h>

namespace media_test {

namespace {

bool run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// A folder of this test program's own (a process id is reused, and a
// folder left by an earlier program of the same id would be taken over),
// removed when the program ends.
struct OwnFolder {
    OwnFolder()
    {
        std::string pattern = testing::TempDir() + "media_files_XXXXXX";
        if (::mkdtemp(pattern.data()))
            path = pattern;
    }
    ~OwnFolder()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

std::string make_files()
{
    static OwnFolder own;
    if (own.path.empty())
        return {};
    const std::string& folder = own.path;
    auto at = [&](const char* name) { return "'" + folder + "/" + name + "'"; };
    bool made = run("sox -n -r 44100 -b 16 -c 1 " + at("tone440.wav") + " synth 1 sine 440 vol 0.5")
        && run("sox -n -r 22050 -b 8 -c 2 " + at("tone8bit.wav") + " synth 0.5 sine 1000 vol 0.5")
        && run("sox -n -r 44100 -b 16 -c 2 " + at("first.wav") + " synth 1 sine 440 vol 0.5")
        && run("sox -n -r 44100 -b 16 -c 2 " + at("second.wav") + " synth 1 sine 880 vol 0.5")
        && run("sox " + at("first.wav") + " " + at("second.wav") + " " + at("two_tones.wav"))
        && run("lame --quiet -b 128 " + at("two_tones.wav") + " " + at("two_tones.mp3"))
        && run("lame --quiet -V 2 " + at("two_tones.wav") + " " + at("two_tones_vbr.mp3"))
        && run("sox -n -r 44100 -b 16 -c 2 " + at("sweep.wav") + " synth 20 sine 100-4000 vol 0.5")
        && run("lame --quiet -V 4 " + at("sweep.wav") + " " + at("long_vbr.mp3"));
    if (!made)
        return {};
    std::mt19937 random(7);
    std::ofstream damaged(folder + "/damaged.mp3", std::ios::binary);
    for (int i = 0; i < 20000; ++i)
        damaged.put(static_cast<char>(random() & 0xFF));
    damaged.close();
    auto whole = std::filesystem::file_size(folder + "/two_tones.mp3");
    std::filesystem::copy_file(folder + "/two_tones.mp3", folder + "/cut.mp3");
    std::filesystem::resize_file(folder + "/cut.mp3", whole / 2);
    return folder;
}

}

const std::string& MediaFiles::folder()
{
    // Made once for the whole test program: sox and lame take a while.
    static const std::string made = make_files();
    return made;
}

}
