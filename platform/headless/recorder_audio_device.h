// SPDX-License-Identifier: GPL-3.0-or-later
// RecorderAudioDevice: a null device that also keeps everything heard, and writes it to a WAV file.
#pragma once

#include "platform/headless/null_audio_device.h"

#include <cstdio>
#include <memory>
#include <string>

namespace platform {

// The file takes the format of the first sound played; later sounds in other
// formats are converted to it (sample size, channels, and rate by taking
// the nearest sample), so one file holds a whole run.
class RecorderAudioDevice final : public NullAudioDevice {
public:
    struct Block {
        PcmFormat format;
        size_t queued_bytes = 0;
        size_t heard_bytes = 0;
    };

    // An empty path records in memory only.
    static base::Result<std::unique_ptr<RecorderAudioDevice>> create(Clock& clock, bool immediate, const std::string& path);
    ~RecorderAudioDevice() override;

    std::vector<std::string> device_names() override { return { "Recorder" }; }

    // Everything heard so far, in the file's format.
    const std::vector<uint8_t>& samples() const { return m_samples; }
    PcmFormat file_format() const { return m_file_format; }
    const std::vector<Block>& blocks() const { return m_blocks; }
    int open_count() const { return m_open_count; }

private:
    RecorderAudioDevice(Clock& clock, bool immediate, std::FILE* file);
    void block_finished(std::span<const uint8_t> block, size_t played_bytes) override;
    void device_opened(PcmFormat format) override;
    void append_converted(std::span<const uint8_t> data);
    void update_file();

    std::FILE* m_file;
    bool m_have_format = false;
    PcmFormat m_file_format;
    PcmFormat m_current;
    std::vector<uint8_t> m_samples;
    std::vector<Block> m_blocks;
    size_t m_written = 0;
    int m_open_count = 0;
};

}
