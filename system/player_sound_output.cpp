// SPDX-License-Identifier: GPL-3.0-or-later
// PlayerSoundOutput: tones and wave files through the platform's sound player.
#include "system/player_sound_output.h"

#include "interpreter/terminal_port.h"
#include "interpreter/world_port.h"
#include "platform/path_map.h"
#include "system/bitmap_file.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace sys {

namespace {

constexpr int tone_rate = 22050;
// Recorded messages are short; a larger file is not one.
constexpr size_t max_wave_bytes = 64 * 1024 * 1024;

void put_u32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}
void put_u16(std::vector<uint8_t>& bytes, size_t at, uint16_t value)
{
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}
uint32_t get_u32(const std::vector<uint8_t>& bytes, size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// Pauses in slices, ending early when a key is waiting if `stop_on_key`.
void pass_time(interpreter::TerminalPort& terminal, interpreter::WorldPort& world, int milliseconds, bool stop_on_key)
{
    constexpr int slice = 20;
    while (milliseconds > 0) {
        if (stop_on_key && terminal.key_waiting())
            return;
        int step = milliseconds < slice ? milliseconds : slice;
        world.pause_ms(step);
        milliseconds -= step;
    }
}

}

std::vector<uint8_t> make_tone_image(int frequency, int duration_ms, int sample_rate)
{
    size_t samples = static_cast<size_t>(static_cast<int64_t>(duration_ms) * sample_rate / 1000);
    std::vector<uint8_t> image(44 + samples * 2, 0);
    std::copy_n("RIFF", 4, image.begin());
    put_u32(image, 4, static_cast<uint32_t>(image.size() - 8));
    std::copy_n("WAVEfmt ", 8, image.begin() + 8);
    put_u32(image, 16, 16);
    put_u16(image, 20, 1); // PCM
    put_u16(image, 22, 1); // mono
    put_u32(image, 24, static_cast<uint32_t>(sample_rate));
    put_u32(image, 28, static_cast<uint32_t>(sample_rate * 2));
    put_u16(image, 32, 2);
    put_u16(image, 34, 16);
    std::copy_n("data", 4, image.begin() + 36);
    put_u32(image, 40, static_cast<uint32_t>(samples * 2));
    // Frequencies past half the rate cannot be played; they stay silent.
    if (frequency > 0 && frequency < sample_rate / 2) {
        double step = 2.0 * std::numbers::pi * frequency / sample_rate;
        for (size_t i = 0; i < samples; ++i) {
            auto value = static_cast<int16_t>(std::lround(9000.0 * std::sin(step * static_cast<double>(i))));
            put_u16(image, 44 + i * 2, static_cast<uint16_t>(value));
        }
    }
    return image;
}

std::optional<int> wave_duration_ms(const std::vector<uint8_t>& image)
{
    if (image.size() < 12 || !std::equal(image.begin(), image.begin() + 4, "RIFF")
        || !std::equal(image.begin() + 8, image.begin() + 12, "WAVE"))
        return std::nullopt;
    uint32_t bytes_per_second = 0;
    size_t at = 12;
    while (at + 8 <= image.size()) {
        uint32_t size = get_u32(image, at + 4);
        if (std::equal(image.begin() + static_cast<long>(at), image.begin() + static_cast<long>(at) + 4, "fmt ")
            && at + 8 + 12 <= image.size())
            bytes_per_second = get_u32(image, at + 8 + 8);
        if (std::equal(image.begin() + static_cast<long>(at), image.begin() + static_cast<long>(at) + 4, "data")) {
            if (bytes_per_second == 0)
                return std::nullopt;
            uint64_t length = std::min<uint64_t>(size, image.size() - at - 8);
            // Rounded up, so that the wait covers the last sample.
            return static_cast<int>((length * 1000 + bytes_per_second - 1) / bytes_per_second);
        }
        at += 8 + static_cast<size_t>(size) + (size & 1);
    }
    return std::nullopt;
}

void PlayerSoundOutput::play_tone(int frequency, int duration_ms)
{
    if (duration_ms <= 0)
        return;
    m_player.play_wave_image(make_tone_image(frequency, duration_ms, tone_rate));
    pass_time(m_terminal, m_world, duration_ms, false);
    m_player.stop();
}

void PlayerSoundOutput::play_wave_file(const std::string& windows_path)
{
    auto system_path = m_paths.to_system(windows_path);
    if (system_path.empty())
        return;
    auto image = read_binary_file(system_path, max_wave_bytes);
    if (!image)
        return;
    auto duration = wave_duration_ms(*image);
    if (!duration)
        return;
    m_player.play_wave_image(std::move(*image));
    pass_time(m_terminal, m_world, *duration, true);
    m_player.stop();
}

}
