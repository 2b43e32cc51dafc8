// SPDX-License-Identifier: GPL-3.0-or-later
// BinaryFiles: the shared byte buffer and the one binary output file of the binary commands.
#include "files/binary_files.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <system_error>

namespace files {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

}

BinaryFiles::~BinaryFiles()
{
    if (m_output)
        std::fclose(m_output);
}

bool BinaryFiles::append(std::string_view bytes)
{
    if (bytes.size() > capacity - m_count)
        return false;
    size_t needed = m_count + bytes.size();
    if (needed > m_buffer.size()) {
        // Doubling keeps byte-by-byte appends linear; the cap keeps the
        // buffer from ever growing past its capacity.
        size_t grown = std::max(needed, std::min(capacity, m_buffer.size() * 2));
        m_buffer.resize(grown);
    }
    if (!bytes.empty())
        std::memcpy(m_buffer.data() + m_count, bytes.data(), bytes.size());
    m_count = needed;
    return true;
}

bool BinaryFiles::append_slice(const std::filesystem::path& path, int64_t first, int64_t last)
{
    if (m_count == slice_limit)
        return false;
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return false;
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    auto size = std::filesystem::file_size(path, error);
    if (error || size > slice_limit)
        return false;
    if (last < first || first < 0 || static_cast<uint64_t>(first) >= size)
        return false;
    uint64_t length = first == last ? 1 : static_cast<uint64_t>(last - first);
    length = std::min<uint64_t>(length, size - static_cast<uint64_t>(first));
    if (std::fseek(file.get(), static_cast<long>(first), SEEK_SET) != 0)
        return false;
    std::vector<char> slice(length);
    size_t read = std::fread(slice.data(), 1, slice.size(), file.get());
    if (std::ferror(file.get()))
        return false;
    return append({ slice.data(), read });
}

void BinaryFiles::clear()
{
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_count = 0;
}

bool BinaryFiles::create_output(const std::filesystem::path& path)
{
    if (m_output || path.empty())
        return false;
    // "x" creates exclusively: an existing file, or one that appears at the
    // same moment, is never opened and so never truncated.
    m_output = std::fopen(path.c_str(), "wbx");
    return m_output != nullptr;
}

bool BinaryFiles::write_output()
{
    if (!m_output)
        return false;
    // An empty buffer may have no storage yet; fwrite must not see its null.
    bool written = m_count == 0 || std::fwrite(m_buffer.data(), 1, m_count, m_output) == m_count;
    // Flushing here surfaces a full disk at the command that caused it.
    written = std::fflush(m_output) == 0 && written;
    if (written)
        m_count = 0;
    return written;
}

bool BinaryFiles::close_output()
{
    if (!m_output)
        return false;
    bool closed = std::fclose(m_output) == 0;
    m_output = nullptr;
    return closed;
}

}
