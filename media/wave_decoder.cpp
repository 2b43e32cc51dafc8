// SPDX-License-Identifier: GPL-3.0-or-later
// The WAVE decoder: PCM samples read straight from the file's "data" chunk.
#include "media/decoder.h"

#include "audio/wave_file.h"
#include "base/byte_order.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace media {

namespace {

using base::Error;


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
                samples[i] = static_cast<int16_t>(base::read_le16(&m_buffer[2 * i]));
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

base::Result<std::unique_ptr<Decoder>> open_wave_decoder(const std::string& system_path)
{
    std::FILE* file = std::fopen(system_path.c_str(), "rb");
    if (!file)
        return Error { "cannot open '" + system_path + "'" };
    auto fail = [file](std::string message) -> base::Result<std::unique_ptr<Decoder>> {
        std::fclose(file);
        return Error { std::move(message) };
    };
    auto layout = audio::read_wave_layout(file);
    if (!layout)
        return fail("not a WAVE file");
    // The format chunk always follows the RIFF head; its first field says
    // how the samples are coded, and only plain PCM is played (0xFFFE, the
    // extensible form, carries PCM as well).
    uint8_t coding[2];
    if (std::fseek(file, 20, SEEK_SET) != 0 || std::fread(coding, 1, 2, file) != 2)
        return fail("not a WAVE file");
    int encoding = base::read_le16(coding);
    auto format = layout->format;
    if (encoding != 1 && encoding != 0xFFFE)
        return fail("the samples are not PCM");
    if (format.rate < 1000 || format.rate > 192000 || (format.channels != 1 && format.channels != 2) || (format.bits != 8 && format.bits != 16))
        return fail("unsupported sample format");
    // A header that claims more data than the file holds (a recording cut
    // short) plays what is there.
    std::fseek(file, 0, SEEK_END);
    long end = std::ftell(file);
    auto start = static_cast<long>(layout->data_offset);
    int64_t available = std::max<int64_t>(0, end - start);
    int64_t bytes = std::min<int64_t>(layout->data_size, available);
    int64_t frames = bytes / format.block_align();
    if (std::fseek(file, start, SEEK_SET) != 0)
        return fail("not a WAVE file");
    return std::unique_ptr<Decoder>(new WaveDecoder(file, format.rate, format.channels, format.bits, start, frames));
}

base::Result<std::unique_ptr<Decoder>> open_any_decoder(const std::string& system_path)
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
