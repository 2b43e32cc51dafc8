// SPDX-License-Identifier: GPL-3.0-or-later
// RecordingSoundOutput: a sound output that keeps what it was asked to play and plays nothing.
#pragma once

#include "audio/sound_output.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

class RecordingSoundOutput final : public audio::SoundOutput {
public:
    int play_wave_file(std::string_view windows_path) override
    {
        files.emplace_back(windows_path);
        return 0;
    }
    int play_wave_image(std::span<const uint8_t> image) override
    {
        images.emplace_back(image.begin(), image.end());
        return 0;
    }
    int play_samples(std::span<const uint8_t> data, int, int, int) override
    {
        samples.emplace_back(data.begin(), data.end());
        return 0;
    }
    bool wave_busy() override { return false; }
    void wave_stop() override { }
    void wait_event(int) override { }
    std::unique_ptr<audio::Stream> open_stream(audio::StreamFormat, audio::StreamSource) override { return nullptr; }

    void play_tone(int frequency, int duration_ms) override { tones.emplace_back(frequency, duration_ms); }
    void start_tone(std::span<const uint8_t> image) override
    {
        tone_image.assign(image.begin(), image.end());
        tone_playing = true;
        ++tones_started;
    }
    void stop_tone() override
    {
        if (tone_playing)
            ++tones_stopped;
        tone_playing = false;
    }

    std::vector<std::string> files;
    std::vector<std::vector<uint8_t>> images;
    std::vector<std::vector<uint8_t>> samples;
    std::vector<std::pair<int, int>> tones;
    std::vector<uint8_t> tone_image;
    bool tone_playing = false;
    int tones_started = 0;
    int tones_stopped = 0;
};

}
