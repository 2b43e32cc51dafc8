// SPDX-License-Identifier: GPL-3.0-or-later
// RecorderAudioDevice: a null device that also keeps everything heard, for tests and --audio.
#pragma once

#include "platform/headless/null_audio_device.h"

#include <span>
#include <string>
#include <vector>

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

    // Without a sink the recording is kept in memory only.
    RecorderAudioDevice(Clock& clock, bool immediate, RecordingSink* sink = nullptr);

    std::vector<std::string> device_names() override { return { "Recorder" }; }

    // Everything heard so far, in the file's format.
    const std::vector<uint8_t>& samples() const { return m_samples; }
    PcmFormat file_format() const { return m_file_format; }
    const std::vector<Block>& blocks() const { return m_blocks; }
    int open_count() const { return m_open_count; }

private:
    void block_finished(std::span<const uint8_t> block, size_t played_bytes) override;
    void device_opened(PcmFormat format) override;
    void append_converted(std::span<const uint8_t> data);

    RecordingSink* m_sink;
    bool m_have_format = false;
    PcmFormat m_file_format;
    PcmFormat m_current;
    std::vector<uint8_t> m_samples;
    std::vector<Block> m_blocks;
    int m_open_count = 0;
};

}
