// SPDX-License-Identifier: GPL-3.0-or-later
// The RIFF WAVE format: reading sound files and images, writing their header.
#pragma once

#include "platform/audio_device.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <vector>

namespace audio {

using platform::PcmFormat;

// The plain header every wave this program writes starts with: "RIFF",
// "WAVE", a 16-byte "fmt " chunk of PCM, then the "data" chunk's head.
constexpr size_t wave_header_bytes = 44;

// What a wave's head says. Every wave read here has the layout the sound
// files of the original platform have: "RIFF" (any case) and 4 bytes,
// then the "fmt " chunk (any case) at offset 12, then chunks of an 8-byte
// head and a body up to the "data" chunk (any case). Bodies are not padded
// to even sizes. The format is taken as written; callers check that it can
// be played.
struct WaveLayout {
    PcmFormat format;
    // Where the data chunk's body starts, and the size its head gives.
    size_t data_offset = 0;
    uint32_t data_size = 0;
};

// The layout of a wave image held in memory; nothing when it has no "RIFF"
// head, no "fmt " chunk of 16 to 1024 bytes at offset 12, or no "data"
// chunk head inside the image.
std::optional<WaveLayout> read_wave_layout(std::span<const uint8_t> image);

// The data chunk's body of an image, as far as the image holds it.
std::span<const uint8_t> wave_samples(std::span<const uint8_t> image, const WaveLayout& layout);

// Reads a wave file's layout from its start, the way a file too large to
// hold is played: on success the file stands at the start of the data
// chunk's body. Chunks before "data" are skipped with seeks.
std::optional<WaveLayout> read_wave_layout(std::FILE* file);

// Writes the 44-byte header of a PCM wave of `data_bytes` bytes.
void write_wave_header(std::span<uint8_t, wave_header_bytes> header, PcmFormat format, size_t data_bytes);

// A whole wave image: the header and the samples.
std::vector<uint8_t> make_wave_image(PcmFormat format, std::span<const uint8_t> samples);

// The playing time of `bytes` of samples, rounded up to whole milliseconds
// so that a wait covers the last sample.
int wave_duration_ms(PcmFormat format, size_t bytes);

}
