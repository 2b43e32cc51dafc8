// SPDX-License-Identifier: GPL-3.0-or-later
// The sound tests' world: keys on a virtual clock, a temporary drive C, a recorder and the wave output.
#include "tests/support/sound_fixture.h"

#include "audio/wave_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace sound_test {

void KeyTimeline::arrive_keys()
{
    uint64_t now = m_clock.monotonic_ms();
    while (!timed_keys.empty() && timed_keys.begin()->first <= now) {
        keys.push_back(timed_keys.begin()->second);
        key_arrivals.push_back(now);
        timed_keys.erase(timed_keys.begin());
    }
}

bool KeyTimeline::has_key()
{
    arrive_keys();
    return !keys.empty();
}

void KeyTimeline::pass_time(int timeout_ms)
{
    uint64_t now = m_clock.monotonic_ms();
    uint64_t step = static_cast<uint64_t>(std::max(0, timeout_ms));
    if (!timed_keys.empty() && timed_keys.begin()->first >= now)
        step = std::min<uint64_t>(step, timed_keys.begin()->first - now);
    m_clock.pass_ms(step);
    waited_ms += step;
    arrive_keys();
}

uint8_t KeyTimeline::take_key()
{
    arrive_keys();
    if (keys.empty() && !timed_keys.empty()) {
        auto first = timed_keys.begin()->first;
        if (first > m_clock.monotonic_ms())
            m_clock.pass_ms(first - m_clock.monotonic_ms());
        arrive_keys();
    }
    if (keys.empty())
        return 13;
    uint8_t key = keys.front();
    keys.pop_front();
    return key;
}

std::vector<Run> runs_of(const std::vector<uint8_t>& samples)
{
    std::vector<Run> runs;
    for (uint8_t sample : samples) {
        if (!runs.empty() && runs.back().value == sample)
            ++runs.back().length;
        else
            runs.push_back({ sample, 1 });
    }
    return runs;
}

std::string describe(const std::vector<Run>& runs)
{
    std::string text;
    for (const auto& run : runs)
        text += std::to_string(run.value) + "x" + std::to_string(run.length) + " ";
    return text;
}

std::vector<uint8_t> constant_wave(int value, size_t length, int rate, int bits, int channels)
{
    std::vector<uint8_t> samples(length * static_cast<size_t>(bits / 8 * channels), static_cast<uint8_t>(value));
    return audio::make_wave_image({ rate, bits, channels }, samples);
}

void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

void write_text_file(const std::filesystem::path& path, std::string_view text)
{
    write_file(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> read_file(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

SoundWorld::SoundWorld(bool real_time)
{
    if (temp.path().empty())
        throw std::runtime_error("cannot create a temporary folder");
    paths.set_drive('C', (temp.path() / "c").string());
    std::filesystem::create_directories(temp.path() / "c");
    recorder = std::make_unique<platform::RecorderAudioDevice>(clock, !real_time);
    wave = std::make_unique<audio::WaveOutput>(*recorder, port, paths);
}

}
