// SPDX-License-Identifier: GPL-3.0-or-later
// BinaryFiles: the shared byte buffer and the one binary output file of the binary commands.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <vector>

namespace files {

class BinaryFiles {
public:
    // The buffer holds at most this many bytes, the capacity scripts were
    // written against; it grows on demand so that a program that never
    // assembles a binary file does not carry 128 MiB.
    static constexpr size_t capacity = 0x8000002;
    // LEBYTE refuses source files larger than this, and refuses to add to a
    // buffer holding exactly this many bytes.
    static constexpr uint64_t slice_limit = 0x8000000;

    BinaryFiles() = default;
    ~BinaryFiles();
    BinaryFiles(const BinaryFiles&) = delete;
    BinaryFiles& operator=(const BinaryFiles&) = delete;

    size_t count() const { return m_count; }
    std::string_view bytes() const { return { m_buffer.data(), m_count }; }
    // Memory held for the buffer, for tests of its growth.
    size_t reserved() const { return m_buffer.size(); }

    // Appends bytes; false, with nothing appended, when they would not fit.
    bool append(std::string_view bytes);
    // Appends the slice of a file that LEBYTE asks for: from `first`,
    // `last - first` bytes (one byte when they are equal), as many as the
    // file holds.
    bool append_slice(const std::filesystem::path& path, int64_t first, int64_t last);
    // Empties the buffer and gives its memory back.
    void clear();

    // Creates a new file as the output file; never touches an existing one.
    bool create_output(const std::filesystem::path& path);
    // Writes the buffer's bytes to the output file and empties the count.
    bool write_output();
    bool close_output();

private:
    std::vector<char> m_buffer;
    size_t m_count = 0;
    std::FILE* m_output = nullptr;
};

}
