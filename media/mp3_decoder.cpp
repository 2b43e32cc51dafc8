// SPDX-License-Identifier: GPL-3.0-or-later
// The MPEG audio decoder, over libmpg123.
#include "media/decoder.h"

#include <mpg123.h>

#include <algorithm>

namespace media {

namespace {

using base::Error;

class Mp3Decoder final : public Decoder {
public:
    explicit Mp3Decoder(mpg123_handle* handle)
        : m_handle(handle)
    {
    }
    ~Mp3Decoder() override
    {
        mpg123_close(m_handle);
        mpg123_delete(m_handle);
    }

    base::Result<void> start()
    {
        // Every frame is read once now: the length of a variable-rate file
        // without a seek table is only known that way, and seeking by
        // sample needs the frame index the scan builds.
        if (mpg123_scan(m_handle) != MPG123_OK)
            return Error { "the file cannot be read as MPEG audio" };
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK)
            return Error { "the file has no MPEG audio frames" };
        off_t length = mpg123_length(m_handle);
        if (length <= 0)
            return Error { "the file has no MPEG audio frames" };
        m_rate = static_cast<int>(rate);
        m_channels = channels;
        m_length = length;
        if (mpg123_seek(m_handle, 0, SEEK_SET) < 0)
            return Error { "the file cannot be read as MPEG audio" };
        return {};
    }

    bool seek(int64_t frame) override
    {
        frame = std::clamp<int64_t>(frame, 0, m_length);
        return mpg123_seek(m_handle, static_cast<off_t>(frame), SEEK_SET) >= 0;
    }

    size_t read(std::span<int16_t> samples) override
    {
        size_t frame_bytes = sizeof(int16_t) * static_cast<size_t>(m_channels);
        size_t wanted = (samples.size() / static_cast<size_t>(m_channels)) * frame_bytes;
        size_t filled = 0;
        auto* bytes = reinterpret_cast<unsigned char*>(samples.data());
        // A damaged frame is skipped by the library; a read that brings
        // nothing twice in a row is taken as the end.
        int empty_reads = 0;
        while (filled < wanted && empty_reads < 2) {
            size_t done = 0;
            int status = mpg123_read(m_handle, bytes + filled, wanted - filled, &done);
            filled += done;
            if (status == MPG123_NEW_FORMAT && !same_format())
                break;
            if (status == MPG123_DONE || (status != MPG123_OK && status != MPG123_NEED_MORE && status != MPG123_NEW_FORMAT))
                break;
            empty_reads = done == 0 ? empty_reads + 1 : 0;
        }
        return filled / frame_bytes;
    }

private:
    // The stream's format is fixed when it is opened; a stream that changes
    // it mid-way ends there.
    bool same_format()
    {
        long rate = 0;
        int channels = 0, encoding = 0;
        mpg123_getformat(m_handle, &rate, &channels, &encoding);
        return rate == m_rate && channels == m_channels;
    }

    mpg123_handle* m_handle;
};

}

base::Result<std::unique_ptr<Decoder>> open_mp3_decoder(const std::string& system_path)
{
    int error = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (!handle)
        return Error { "the MPEG decoder cannot start" };
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    // Always 16-bit samples, at the file's own rate and channel count.
    mpg123_format_none(handle);
    const long* rates = nullptr;
    size_t rate_count = 0;
    mpg123_rates(&rates, &rate_count);
    for (size_t i = 0; i < rate_count; ++i)
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(handle, system_path.c_str()) != MPG123_OK) {
        mpg123_delete(handle);
        return Error { "cannot open '" + system_path + "'" };
    }
    auto decoder = std::make_unique<Mp3Decoder>(handle);
    if (auto started = decoder->start(); !started)
        return started.error();
    return std::unique_ptr<Decoder>(std::move(decoder));
}

}
