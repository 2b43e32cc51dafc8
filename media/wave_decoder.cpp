// SPDX-License-Identifier: GPL-3.0-or-later
// The WAVE decoder: PCM samples read straight from the file's "data" chunk.
#include "media/decoder.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace media {

namespace {

using platform::Error;

uint32_t read_u32(const uint8_t* at) { return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24); }
uint16_t read_u16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

bool tag_is(const uint8_t* at, const char* tag)
{
    for (int i = 0; i < 4; ++i) {
        char c = static_cast<char>(at[i]);
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
        if (c != tag[i])
            return false;
    }
    return true;
}

class WaveDecoder final : public Decoder {
public:
    WaveDecoder(std::FILE* file, int rate, int channels, int bits, long data_start, int64_t frames)
        : m_file(file)
        , m_bits(bits)
        , m_data_start(data_start)
    {
        m_rate = rate;
        m_channels = channels;
        m_length = frames;
    }
    ~WaveDecoder() override { std::fclose(m_file); }

    bool seek(int64_t frame) override
    {
        frame = std::clamp<int64_t>(frame, 0, m_length);
        long offset = m_data_start + static_cast<long>(frame * frame_bytes());
        if (std::fseek(m_file, offset, SEEK_SET) != 0)
            return false;
        m_next = frame;
        return true;
    }

    size_t read(std::span<int16_t> samples) override
    {
        size_t frames = std::min<size_t>(samples.size() / static_cast<size_t>(m_channels), static_cast<size_t>(m_length - m_next));
        m_buffer.resize(frames * frame_bytes());
        size_t got = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file) / frame_bytes();
        size_t count = got * static_cast<size_t>(m_channels);
        for (size_t i = 0; i < count; ++i) {
            if (m_bits == 8)
                samples[i] = static_cast<int16_t>((m_buffer[i] - 128) * 256);
            else
                samples[i] = static_cast<int16_t>(read_u16(&m_buffer[2 * i]));
        }
        m_next += static_cast<int64_t>(got);
        return got;
    }

private:
    size_t frame_bytes() const { return static_cast<size_t>(m_channels * m_bits / 8); }

    std::FILE* m_file;
    int m_bits;
    long m_data_start;
    int64_t m_next = 0;
    std::vector<uint8_t> m_buffer;
};

}

platform::Result<std::unique_ptr<Decoder>> open_wave_decoder(const std::string& system_path)
{
    std::FILE* file = std::fopen(system_path.c_str(), "rb");
    if (!file)
        return Error { "cannot open '" + system_path + "'" };
    auto fail = [file](std::string message) -> platform::Result<std::unique_ptr<Decoder>> {
        std::fclose(file);
        return Error { std::move(message) };
    };
    uint8_t head[12];
    if (std::fread(head, 1, 12, file) != 12 || !tag_is(head, "RIFF") || !tag_is(head + 8, "WAVE"))
        return fail("not a WAVE file");
    int rate = 0, channels = 0, bits = 0;
    bool have_format = false;
    uint8_t chunk[8];
    // Chunks are walked to "data"; a "fmt " chunk must come before it.
    while (std::fread(chunk, 1, 8, file) == 8) {
        uint32_t size = read_u32(chunk + 4);
        if (tag_is(chunk, "FMT ")) {
            if (size < 16 || size > 1024)
                return fail("the format chunk has a bad size");
            uint8_t format[1024];
            if (std::fread(format, 1, size, file) != size)
                return fail("the format chunk is cut short");
            int encoding = read_u16(format);
            channels = read_u16(format + 2);
            rate = static_cast<int>(read_u32(format + 4));
            bits = read_u16(format + 14);
            // 0xFFFE (extensible) carries plain PCM as well.
            if (encoding != 1 && encoding != 0xFFFE)
                return fail("the samples are not PCM");
            if (rate < 1000 || rate > 192000 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16))
                return fail("unsupported sample format");
            have_format = true;
            if (size % 2 == 1)
                std::fseek(file, 1, SEEK_CUR);
            continue;
        }
        if (tag_is(chunk, "DATA")) {
            if (!have_format)
                return fail("the data comes before the format");
            long start = std::ftell(file);
            // A header that claims more data than the file holds (a
            // recording cut short) plays what is there.
            std::fseek(file, 0, SEEK_END);
            long end = std::ftell(file);
            int64_t available = std::max<int64_t>(0, end - start);
            int64_t bytes = std::min<int64_t>(size, available);
            int64_t frames = bytes / (channels * bits / 8);
            std::fseek(file, start, SEEK_SET);
            return std::unique_ptr<Decoder>(new WaveDecoder(file, rate, channels, bits, start, frames));
        }
        if (std::fseek(file, static_cast<long>(size + (size % 2)), SEEK_CUR) != 0)
            break;
    }
    return fail("the file has no samples");
}

platform::Result<std::unique_ptr<Decoder>> open_any_decoder(const std::string& system_path)
{
    std::FILE* file = std::fopen(system_path.c_str(), "rb");
    if (!file)
        return Error { "cannot open '" + system_path + "'" };
    uint8_t head[4] = {};
    size_t got = std::fread(head, 1, 4, file);
    std::fclose(file);
    if (got == 4 && tag_is(head, "RIFF"))
        return open_wave_decoder(system_path);
    return open_mp3_decoder(system_path);
}

}
