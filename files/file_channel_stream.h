// SPDX-License-Identifier: GPL-3.0-or-later
// FileChannelStream: a text file on a channel, read and written as bytes.
#pragma once

#include "files/channel_stream.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace files {

class FileChannelStream final : public ChannelStream {
public:
    // Nothing when the path is not a regular file that can be opened for
    // reading (a directory opens, but every read would fail; a device may
    // never end).
    static std::unique_ptr<FileChannelStream> open_for_reading(const std::filesystem::path& path);
    // Appends to the file, creating it when it does not exist.
    static std::unique_ptr<FileChannelStream> open_for_appending(const std::filesystem::path& path);

    ~FileChannelStream() override;
    FileChannelStream(const FileChannelStream&) = delete;
    FileChannelStream& operator=(const FileChannelStream&) = delete;

    ChannelKind kind() const override { return ChannelKind::file; }
    LineReadStatus read_line(std::string& line) override;
    bool write(std::string_view bytes) override;
    bool close() override;

private:
    explicit FileChannelStream(std::FILE* file)
        : m_file(file)
    {
    }

    std::FILE* m_file;
};

}
