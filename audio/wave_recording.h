// SPDX-License-Identifier: GPL-3.0-or-later
// WaveRecording: the wave file of --audio, complete whenever the program stops.
#pragma once

#include "audio/wave_file.h"
#include "platform/audio_device.h"
#include "base/result.h"

#include <cstdio>
#include <memory>
#include <string>

namespace audio {

// The header is rewritten with the sizes so far each time the recording
// grows, and written at once when the file is created, so that even a run
// that plays nothing leaves a valid, empty wave.
class WaveRecording final : public platform::RecordingSink {
public:
    // `format` is the empty file's, until the first sound gives its own.
    static base::Result<std::unique_ptr<WaveRecording>> create(const std::string& path, PcmFormat format);
    ~WaveRecording() override;
    WaveRecording(const WaveRecording&) = delete;
    WaveRecording& operator=(const WaveRecording&) = delete;

    void recording_grew(PcmFormat format, std::span<const uint8_t> samples) override;

private:
    explicit WaveRecording(std::FILE* file);
    void write_header(PcmFormat format, size_t data_bytes);

    std::FILE* m_file;
    size_t m_written = 0;
};

}
