// SPDX-License-Identifier: GPL-3.0-or-later
// Playback speed-ups of the wave output: fast rate and speech cutting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace audio {

// The rate of fast playback: one and a half times, halves rounded to even.
int fast_playback_rate(int rate);

// Turns a block of 16-bit mono samples into 8-bit unsigned ones in place
// (the high byte plus 128); returns the new length in bytes.
size_t reduce_to_8_bits(std::span<uint8_t> block);

// Drops every other pitch period of an 8-bit mono block in place, keeping
// the pitch and shortening the time; returns the new length.
size_t cut_speech_block(std::span<uint8_t> block, int rate);

}
