// SPDX-License-Identifier: GPL-3.0-or-later
// The RIFF WAVE format: reading sound files and images, writing their header.
#include "audio/wave_file.h"

#include "base/byte_order.h"

#include <algorithm>
#include <cstring>

namespace audio {

namespace {

// The recordings of the original platform were written by tools that did
// not agree on case, so chunk names are compared in upper case.
bool tag_is(const uint8_t* at, const char* tag)
{
    for (int index = 0; index < 4; ++index) {
        char c = static_cast<char>(at[index]);
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
        if (c != tag[index])
            return false;
    }
    return true;
}

// The "fmt " chunk is at least the 16 bytes of PCM; anything beyond 1024
// bytes is not a sound file's format.
constexpr uint32_t min_format_bytes = 16;
constexpr uint32_t max_format_bytes = 1024;
constexpr size_t riff_head_bytes = 12;
constexpr size_t chunk_head_bytes = 8;

PcmFormat format_from(const uint8_t* body)
{
    PcmFormat format;
    format.channels = base::read_le16(body + 2);
    format.rate = static_cast<int>(base::read_le32(body + 4));
    format.bits = base::read_le16(body + 14);
    return format;
}

}

std::optional<WaveLayout> read_wave_layout(std::span<const uint8_t> image)
{
    if (image.size() < riff_head_bytes + chunk_head_bytes + min_format_bytes || !tag_is(image.data(), "RIFF")
        || !tag_is(image.data() + riff_head_bytes, "FMT "))
        return std::nullopt;
    uint32_t format_size = base::read_le32(image.data() + riff_head_bytes + 4);
    if (format_size < min_format_bytes || format_size > max_format_bytes)
        return std::nullopt;
    WaveLayout layout;
    layout.format = format_from(image.data() + riff_head_bytes + chunk_head_bytes);
    size_t position = riff_head_bytes + chunk_head_bytes + format_size;
    while (position + chunk_head_bytes <= image.size()) {
        uint32_t size = base::read_le32(image.data() + position + 4);
        if (tag_is(image.data() + position, "DATA")) {
            layout.data_offset = position + chunk_head_bytes;
            layout.data_size = size;
            return layout;
        }
        position += chunk_head_bytes + static_cast<size_t>(size);
    }
    return std::nullopt;
}

std::span<const uint8_t> wave_samples(std::span<const uint8_t> image, const WaveLayout& layout)
{
    if (layout.data_offset > image.size())
        return {};
    size_t length = std::min<size_t>(layout.data_size, image.size() - layout.data_offset);
    return image.subspan(layout.data_offset, length);
}

std::optional<WaveLayout> read_wave_layout(std::FILE* file)
{
    uint8_t head[riff_head_bytes];
    if (std::fread(head, 1, sizeof head, file) != sizeof head || !tag_is(head, "RIFF"))
        return std::nullopt;
    uint8_t chunk[chunk_head_bytes];
    if (std::fread(chunk, 1, sizeof chunk, file) != sizeof chunk || !tag_is(chunk, "FMT "))
        return std::nullopt;
    uint32_t format_size = base::read_le32(chunk + 4);
    if (format_size < min_format_bytes || format_size > max_format_bytes)
        return std::nullopt;
    std::vector<uint8_t> body(format_size);
    if (std::fread(body.data(), 1, format_size, file) != format_size)
        return std::nullopt;
    WaveLayout layout;
    layout.format = format_from(body.data());
    size_t position = riff_head_bytes + chunk_head_bytes + format_size;
    while (std::fread(chunk, 1, sizeof chunk, file) == sizeof chunk) {
        position += chunk_head_bytes;
        uint32_t size = base::read_le32(chunk + 4);
        if (tag_is(chunk, "DATA")) {
            layout.data_offset = position;
            layout.data_size = size;
            return layout;
        }
        if (std::fseek(file, static_cast<long>(size), SEEK_CUR) != 0)
            return std::nullopt;
        position += size;
    }
    return std::nullopt;
}

void write_wave_header(std::span<uint8_t, wave_header_bytes> header, PcmFormat format, size_t data_bytes)
{
    auto* at = header.data();
    std::memcpy(at, "RIFF", 4);
    base::write_le32(at + 4, static_cast<uint32_t>(data_bytes + 36));
    std::memcpy(at + 8, "WAVEfmt ", 8);
    base::write_le32(at + 16, 16);
    base::write_le16(at + 20, 1); // PCM
    base::write_le16(at + 22, static_cast<uint16_t>(format.channels));
    base::write_le32(at + 24, static_cast<uint32_t>(format.rate));
    base::write_le32(at + 28, static_cast<uint32_t>(format.rate * format.block_align()));
    base::write_le16(at + 32, static_cast<uint16_t>(format.block_align()));
    base::write_le16(at + 34, static_cast<uint16_t>(format.bits));
    std::memcpy(at + 36, "data", 4);
    base::write_le32(at + 40, static_cast<uint32_t>(data_bytes));
}

std::vector<uint8_t> make_wave_image(PcmFormat format, std::span<const uint8_t> samples)
{
    std::vector<uint8_t> image(wave_header_bytes + samples.size());
    write_wave_header(std::span<uint8_t, wave_header_bytes>(image.data(), wave_header_bytes), format, samples.size());
    std::copy(samples.begin(), samples.end(), image.begin() + wave_header_bytes);
    return image;
}

int wave_duration_ms(PcmFormat format, size_t bytes)
{
    uint64_t per_second = static_cast<uint64_t>(std::max(1, format.rate)) * static_cast<uint64_t>(std::max(1, format.block_align()));
    return static_cast<int>((static_cast<uint64_t>(bytes) * 1000 + per_second - 1) / per_second);
}

}
