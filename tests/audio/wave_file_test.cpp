// SPDX-License-Identifier: GPL-3.0-or-later
// The WAVE reader and writer: layouts that are and are not waves, files of another tool, and files it reads.
#include "audio/wave_file.h"
#include "base/byte_order.h"
#include "tests/support/sound_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <sys/wait.h>

namespace {

using audio::PcmFormat;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::vector<uint8_t> bytes_of(std::string_view text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A chunk: its 4-character tag, its size as written, and its body.
std::vector<uint8_t> chunk(std::string_view tag, std::vector<uint8_t> body, std::optional<uint32_t> size = {})
{
    std::vector<uint8_t> bytes = bytes_of(tag);
    bytes.resize(8);
    base::write_le32(bytes.data() + 4, size.value_or(static_cast<uint32_t>(body.size())));
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

// The 16 bytes of a PCM format, then zeros up to `size`; a shorter body
// is the start of those 16 bytes.
std::vector<uint8_t> format_body(PcmFormat format, size_t size = 16)
{
    std::vector<uint8_t> body(std::max<size_t>(size, 16), 0);
    base::write_le16(&body[0], 1);
    base::write_le16(&body[2], static_cast<uint16_t>(format.channels));
    base::write_le32(&body[4], static_cast<uint32_t>(format.rate));
    base::write_le16(&body[14], static_cast<uint16_t>(format.bits));
    body.resize(size);
    return body;
}

std::vector<uint8_t> join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<uint8_t> riff(std::string_view tag = "RIFF")
{
    auto head = bytes_of(tag);
    head.resize(8, 0);
    auto wave = bytes_of("WAVE");
    head.insert(head.end(), wave.begin(), wave.end());
    return head;
}

constexpr PcmFormat stereo_16 { 22050, 16, 2 };

struct LayoutCase {
    const char* name;
    std::vector<uint8_t> image;
    bool is_wave;
    size_t samples; // bytes of the data chunk the image holds
};

TEST(WaveFile, ReadsTheLayoutsOfTheOriginalPlatform)
{
    const std::vector<uint8_t> data(10, 7);
    const LayoutCase cases[] = {
        { "plain", join({ riff(), chunk("fmt ", format_body(stereo_16)), chunk("data", data) }), true, 10 },
        { "tags in any case", join({ riff("riff"), chunk("FMT ", format_body(stereo_16)), chunk("Data", data) }), true, 10 },
        { "a longer format", join({ riff(), chunk("fmt ", format_body(stereo_16, 18)), chunk("data", data) }), true, 10 },
        { "chunks before data", join({ riff(), chunk("fmt ", format_body(stereo_16)), chunk("LIST", { 1, 2, 3, 4 }), chunk("fact", { 9, 9, 9, 9 }), chunk("data", data) }), true, 10 },
        { "data cut short", join({ riff(), chunk("fmt ", format_body(stereo_16)), chunk("data", data, 1000) }), true, 10 },
        { "empty data", join({ riff(), chunk("fmt ", format_body(stereo_16)), chunk("data", {}) }), true, 0 },
        { "nothing", {}, false, 0 },
        { "head only", riff(), false, 0 },
        { "not RIFF", join({ riff("RIFX"), chunk("fmt ", format_body(stereo_16)), chunk("data", data) }), false, 0 },
        { "format not first", join({ riff(), chunk("LIST", { 1, 2, 3, 4 }), chunk("fmt ", format_body(stereo_16)), chunk("data", data) }), false, 0 },
        { "format too short", join({ riff(), chunk("fmt ", format_body(stereo_16, 14)), chunk("data", data) }), false, 0 },
        { "format too long", join({ riff(), chunk("fmt ", format_body(stereo_16, 2000)), chunk("data", data) }), false, 0 },
        { "no data", join({ riff(), chunk("fmt ", format_body(stereo_16)), chunk("LIST", { 1, 2 }) }), false, 0 },
        { "chunk past the end", join({ riff(), chunk("fmt ", format_body(stereo_16)), chunk("LIST", { 1, 2 }, 0xFFFFFFF0u), chunk("data", data) }), false, 0 },
    };
    for (const auto& test : cases) {
        auto layout = audio::read_wave_layout(std::span<const uint8_t>(test.image));
        ASSERT_EQ(layout.has_value(), test.is_wave) << test.name;
        test_support::ScratchFolder temp;
        sound_test::write_file(temp.path() / "x.wav", test.image);
        File file(std::fopen((temp.path() / "x.wav").c_str(), "rb"));
        ASSERT_TRUE(file);
        auto from_file = audio::read_wave_layout(file.get());
        ASSERT_EQ(from_file.has_value(), test.is_wave) << test.name << " (file)";
        if (!layout)
            continue;
        EXPECT_EQ(layout->format, stereo_16) << test.name;
        EXPECT_EQ(from_file->format, stereo_16) << test.name;
        EXPECT_EQ(from_file->data_offset, layout->data_offset) << test.name;
        EXPECT_EQ(from_file->data_size, layout->data_size) << test.name;
        EXPECT_EQ(std::ftell(file.get()), static_cast<long>(layout->data_offset)) << test.name;
        auto samples = audio::wave_samples(test.image, *layout);
        EXPECT_EQ(samples.size(), test.samples) << test.name;
        if (!samples.empty()) {
            EXPECT_EQ(samples[0], 7) << test.name;
        }
    }
}

TEST(WaveFile, WrittenImagesReadBack)
{
    const PcmFormat formats[] = { { 11025, 8, 1 }, { 44100, 16, 2 }, { 16000, 16, 1 } };
    for (auto format : formats) {
        std::vector<uint8_t> samples(static_cast<size_t>(format.block_align()) * 100);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<uint8_t>(i * 7);
        auto image = audio::make_wave_image(format, samples);
        ASSERT_EQ(image.size(), audio::wave_header_bytes + samples.size());
        EXPECT_EQ(base::read_le32(&image[4]), image.size() - 8);
        EXPECT_EQ(base::read_le32(&image[28]), static_cast<uint32_t>(format.rate * format.block_align()));
        auto layout = audio::read_wave_layout(std::span<const uint8_t>(image));
        ASSERT_TRUE(layout);
        EXPECT_EQ(layout->format, format);
        auto read = audio::wave_samples(image, *layout);
        EXPECT_TRUE(std::equal(read.begin(), read.end(), samples.begin(), samples.end()));
    }
    EXPECT_EQ(audio::wave_duration_ms({ 11025, 8, 1 }, 11025), 1000);
    EXPECT_EQ(audio::wave_duration_ms({ 44100, 16, 2 }, 4), 1); // rounded up
}

#ifdef SOX_PROGRAM

// Runs sox with the arguments (none of them from outside the test) and
// gives its standard output; its statistics come on standard error.
std::string run_sox(const std::string& arguments, bool with_errors = false)
{
    std::string command = std::string(SOX_PROGRAM) + " " + arguments + (with_errors ? " 2>&1" : " 2>/dev/null");
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    char buffer[256];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get()))
        output += buffer;
    return output;
}

// Zero crossings of the first channel of 16-bit samples: twice the periods.
int zero_crossings(std::span<const uint8_t> data, int channels)
{
    int crossings = 0;
    int previous = 0;
    for (size_t at = 0; at + 1 < data.size(); at += static_cast<size_t>(2 * channels)) {
        int value = static_cast<int16_t>(base::read_le16(&data[at]));
        if ((previous < 0 && value >= 0) || (previous >= 0 && value < 0))
            ++crossings;
        previous = value;
    }
    return crossings;
}

TEST(WaveFile, ReadsWhatSoxWrites)
{
    test_support::ScratchFolder temp;
    struct SoxCase {
        std::string options;
        PcmFormat format;
        size_t frames;
    };
    const SoxCase cases[] = {
        { "-r 16000 -b 16 -c 1", { 16000, 16, 1 }, 1600 },
        { "-r 44100 -b 16 -c 2", { 44100, 16, 2 }, 4410 },
        { "-r 11025 -b 8 -c 1", { 11025, 8, 1 }, 1102 },
    };
    for (const auto& test : cases) {
        auto path = (temp.path() / "sine.wav").string();
        run_sox("-n " + test.options + " '" + path + "' synth 0.1 sine 440");
        auto bytes = sound_test::read_file(path);
        auto layout = audio::read_wave_layout(std::span<const uint8_t>(bytes));
        ASSERT_TRUE(layout) << test.options;
        EXPECT_EQ(layout->format, test.format) << test.options;
        auto samples = audio::wave_samples(bytes, *layout);
        EXPECT_NEAR(static_cast<double>(samples.size()), static_cast<double>(test.frames * static_cast<size_t>(test.format.block_align())), 2.0 * test.format.block_align()) << test.options;
        if (test.format.bits == 16) { // 44 periods of 440 Hz in 0.1 s
            EXPECT_NEAR(zero_crossings(samples, test.format.channels), 88, 2) << test.options;
        }
        File file(std::fopen(path.c_str(), "rb"));
        auto from_file = audio::read_wave_layout(file.get());
        ASSERT_TRUE(from_file) << test.options;
        EXPECT_EQ(from_file->data_size, layout->data_size) << test.options;
    }
}

TEST(WaveFile, SoxReadsWhatIsWritten)
{
    test_support::ScratchFolder temp;
    auto path = (temp.path() / "ours.wav").string();
    std::vector<uint8_t> samples(22050 * 2 * 2 / 2); // half a second of 22050 Hz stereo 16-bit
    for (size_t frame = 0; frame < samples.size() / 4; ++frame) {
        auto value = static_cast<int16_t>(std::lround(8000.0 * std::sin(2 * M_PI * 1000.0 * static_cast<double>(frame) / 22050.0)));
        base::write_le16(&samples[frame * 4], static_cast<uint16_t>(value));
        base::write_le16(&samples[frame * 4 + 2], static_cast<uint16_t>(value));
    }
    sound_test::write_file(path, audio::make_wave_image(stereo_16, samples));
    EXPECT_EQ(run_sox("--i -r '" + path + "'"), "22050\n");
    EXPECT_EQ(run_sox("--i -c '" + path + "'"), "2\n");
    EXPECT_EQ(run_sox("--i -b '" + path + "'"), "16\n");
    EXPECT_EQ(run_sox("--i -s '" + path + "'"), "11025\n");
    // sox hears the tone that was written, on its first channel.
    auto stats = run_sox("'" + path + "' -n remix 1 stat", true);
    auto at = stats.find("Rough   frequency:");
    ASSERT_NE(at, std::string::npos) << stats;
    EXPECT_NEAR(std::stod(stats.substr(at + 18)), 1000.0, 20.0) << stats;
}

#endif

}
