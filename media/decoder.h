// SPDX-License-Identifier: GPL-3.0-or-later
// Decoder: a sound file read as 16-bit frames from any position.
#pragma once

#include "base/result.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace media {

class Decoder {
public:
    virtual ~Decoder() = default;
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    int rate() const { return m_rate; }
    int channels() const { return m_channels; }
    // The whole length in frames, known when the file has been opened.
    int64_t length_frames() const { return m_length; }

    // The next read starts at `frame` (at most the length).
    virtual bool seek(int64_t frame) = 0;
    // Fills `samples` with whole frames; returns the number of frames read,
    // 0 at the end or when the rest of the file cannot be decoded.
    virtual size_t read(std::span<int16_t> samples) = 0;

protected:
    Decoder() = default;
    int m_rate = 0;
    int m_channels = 0;
    int64_t m_length = 0;
};

// WAVE files of 8- or 16-bit PCM, one or two channels.
base::Result<std::unique_ptr<Decoder>> open_wave_decoder(const std::string& system_path);
// MPEG audio (layers 1 to 3); the whole file is scanned first, so that
// the length of a variable-rate file is exact.
base::Result<std::unique_ptr<Decoder>> open_mp3_decoder(const std::string& system_path);
// A file the media layer can play: WAVE when it starts with "RIFF", else MPEG audio.
base::Result<std::unique_ptr<Decoder>> open_any_decoder(const std::string& system_path);

}
