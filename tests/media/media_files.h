// SPDX-License-Identifier: GPL-3.0-or-later
// MediaFiles: sound files of known content, made for the media tests by sox and lame.
#pragma once

#include <string>

namespace media_test {

// Files are made once per test program in a temporary folder:
//   tone440.wav   1 s of 440 Hz, 44100 Hz mono 16-bit
//   tone8bit.wav  0.5 s of 1000 Hz, 22050 Hz stereo 8-bit
//   two_tones.wav / two_tones.mp3 (constant rate) / two_tones_vbr.mp3
//                 1 s of 440 Hz followed by 1 s of 880 Hz, 44100 Hz stereo
//   long_vbr.mp3  20 s of a rising sweep, variable rate, for the length
//   damaged.mp3   random bytes; cut.mp3 the first half of two_tones.mp3
class MediaFiles {
public:
    // Empty when the tools are missing (the tests then skip).
    static const std::string& folder();
    static std::string path(const std::string& name) { return folder() + "/" + name; }
};

}
