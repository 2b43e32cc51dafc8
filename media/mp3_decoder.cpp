// SPDX-License-Identifier: GPL-3.0-or-later
// The MPEG audio decoder, over libmpg123 loaded at the first MP3 opened.
#include "media/decoder.h"

#include <dlfcn.h>
#include <mpg123.h>

#include <algorithm>

namespace media {

namespace {

using base::Error;

// The header may rename functions (large-file variants, newer entry
// points) with macros; the name looked up is the one the header means.
#define MPG123_SYMBOL(function) MPG123_SYMBOL_TEXT(function)
#define MPG123_SYMBOL_TEXT(function) #function

// The library's functions, looked up when an MP3 is opened. The header
// gives their types; nothing is linked, so a run that plays no MP3 does
// not pay for the library's symbols at every start.
struct Mpg123Library {
    void* handle = nullptr;
    decltype(&::mpg123_new) create = nullptr;
    decltype(&::mpg123_delete) destroy = nullptr;
    decltype(&::mpg123_param) param = nullptr;
    decltype(&::mpg123_format_none) format_none = nullptr;
    decltype(&::mpg123_rates) rates = nullptr;
    decltype(&::mpg123_format) format = nullptr;
    decltype(&::mpg123_open) open = nullptr;
    decltype(&::mpg123_close) close = nullptr;
    decltype(&::mpg123_scan) scan = nullptr;
    decltype(&::mpg123_getformat) getformat = nullptr;
    decltype(&::mpg123_length) length = nullptr;
    decltype(&::mpg123_seek) seek = nullptr;
    decltype(&::mpg123_read) read = nullptr;

    Mpg123Library() = default;
    Mpg123Library(const Mpg123Library&) = delete;
    Mpg123Library& operator=(const Mpg123Library&) = delete;
    ~Mpg123Library()
    {
        if (handle)
            dlclose(handle);
    }

    base::Result<void> load()
    {
        handle = dlopen("libmpg123.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return Error { "the MPEG decoder library cannot be loaded" };
        bool found = true;
        auto look_up = [&](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(handle, name));
            found = found && function;
        };
        look_up(create, MPG123_SYMBOL(mpg123_new));
        look_up(destroy, MPG123_SYMBOL(mpg123_delete));
        look_up(param, MPG123_SYMBOL(mpg123_param));
        look_up(format_none, MPG123_SYMBOL(mpg123_format_none));
        look_up(rates, MPG123_SYMBOL(mpg123_rates));
        look_up(format, MPG123_SYMBOL(mpg123_format));
        look_up(open, MPG123_SYMBOL(mpg123_open));
        look_up(close, MPG123_SYMBOL(mpg123_close));
        look_up(scan, MPG123_SYMBOL(mpg123_scan));
        look_up(getformat, MPG123_SYMBOL(mpg123_getformat));
        look_up(length, MPG123_SYMBOL(mpg123_length));
        look_up(seek, MPG123_SYMBOL(mpg123_seek));
        look_up(read, MPG123_SYMBOL(mpg123_read));
        if (!found)
            return Error { "the MPEG decoder library lacks a function" };
        return {};
    }
};

class Mp3Decoder final : public Decoder {
public:
    Mp3Decoder(std::unique_ptr<Mpg123Library> library, mpg123_handle* handle)
        : m_library(std::move(library))
        , m_handle(handle)
    {
    }
    ~Mp3Decoder() override
    {
        m_library->close(m_handle);
        m_library->destroy(m_handle);
    }

    base::Result<void> start()
    {
        // Every frame is read once now: the length of a variable-rate file
        // without a seek table is only known that way, and seeking by
        // sample needs the frame index the scan builds.
        if (m_library->scan(m_handle) != MPG123_OK)
            return Error { "the file cannot be read as MPEG audio" };
        long rate = 0;
        int channels = 0, encoding = 0;
        if (m_library->getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK)
            return Error { "the file has no MPEG audio frames" };
        off_t length = m_library->length(m_handle);
        if (length <= 0)
            return Error { "the file has no MPEG audio frames" };
        m_rate = static_cast<int>(rate);
        m_channels = channels;
        m_length = length;
        if (m_library->seek(m_handle, 0, SEEK_SET) < 0)
            return Error { "the file cannot be read as MPEG audio" };
        return {};
    }

    bool seek(int64_t frame) override
    {
        frame = std::clamp<int64_t>(frame, 0, m_length);
        return m_library->seek(m_handle, static_cast<off_t>(frame), SEEK_SET) >= 0;
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
            int status = m_library->read(m_handle, bytes + filled, wanted - filled, &done);
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
        m_library->getformat(m_handle, &rate, &channels, &encoding);
        return rate == m_rate && channels == m_channels;
    }

    std::unique_ptr<Mpg123Library> m_library;
    mpg123_handle* m_handle;
};

}

base::Result<std::unique_ptr<Decoder>> open_mp3_decoder(const std::string& system_path)
{
    auto library = std::make_unique<Mpg123Library>();
    if (auto loaded = library->load(); !loaded)
        return loaded.error();
    int error = MPG123_OK;
    mpg123_handle* handle = library->create(nullptr, &error);
    if (!handle)
        return Error { "the MPEG decoder cannot start" };
    library->param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    // Always 16-bit samples, at the file's own rate and channel count.
    library->format_none(handle);
    const long* rates = nullptr;
    size_t rate_count = 0;
    library->rates(&rates, &rate_count);
    for (size_t i = 0; i < rate_count; ++i)
        library->format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (library->open(handle, system_path.c_str()) != MPG123_OK) {
        library->destroy(handle);
        return Error { "cannot open '" + system_path + "'" };
    }
    auto decoder = std::make_unique<Mp3Decoder>(std::move(library), handle);
    if (auto started = decoder->start(); !started)
        return started.error();
    return std::unique_ptr<Decoder>(std::move(decoder));
}

}
