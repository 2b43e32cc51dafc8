// SPDX-License-Identifier: GPL-3.0-or-later
// FileChannelStream: a text file on a channel, read and written as bytes.
#include "files/file_channel_stream.h"

#include <system_error>

namespace files {

namespace {

bool names_directory(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

}

std::unique_ptr<FileChannelStream> FileChannelStream::open_for_reading(const std::filesystem::path& path)
{
    // Only regular files: a device such as /dev/zero would make one endless
    // line.
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return nullptr;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return nullptr;
    return std::unique_ptr<FileChannelStream>(new FileChannelStream(file));
}

std::unique_ptr<FileChannelStream> FileChannelStream::open_for_appending(const std::filesystem::path& path)
{
    if (path.empty() || names_directory(path))
        return nullptr;
    // "ab" creates a missing file, which is what the command asks for when
    // appending fails.
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file)
        return nullptr;
    return std::unique_ptr<FileChannelStream>(new FileChannelStream(file));
}

FileChannelStream::~FileChannelStream()
{
    if (m_file)
        std::fclose(m_file);
}

// A line ends at LF, at CR LF, or at a CR that is not followed by LF, so that
// files from any system read line by line.
LineReadStatus FileChannelStream::read_line(std::string& line)
{
    line.clear();
    if (!m_file)
        return LineReadStatus::error;
    int c = std::getc(m_file);
    if (c == EOF)
        return std::ferror(m_file) ? LineReadStatus::error : LineReadStatus::end_of_input;
    while (c != EOF) {
        if (c == '\n')
            return LineReadStatus::line;
        if (c == '\r') {
            int next = std::getc(m_file);
            if (next != '\n' && next != EOF)
                std::ungetc(next, m_file);
            break;
        }
        line += static_cast<char>(c);
        c = std::getc(m_file);
    }
    return std::ferror(m_file) ? LineReadStatus::error : LineReadStatus::line;
}

bool FileChannelStream::write(std::string_view bytes)
{
    if (!m_file)
        return false;
    if (bytes.empty())
        return !std::ferror(m_file);
    return std::fwrite(bytes.data(), 1, bytes.size(), m_file) == bytes.size();
}

bool FileChannelStream::close()
{
    if (!m_file)
        return true;
    // Buffered bytes reach the file here, so a full disk may show only now.
    bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return closed;
}

}
