// SPDX-License-Identifier: GPL-3.0-or-later
// Copying one file's bytes into another, for REPLICA.
#include "files/file_copy.h"

#include "files/replacing_file.h"

#include <cstdio>
#include <memory>
#include <system_error>
#include <vector>

namespace files {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool is_same_file(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

}

CopyOutcome copy_file_in_pieces(const std::filesystem::path& source, const std::filesystem::path& destination)
{
    std::error_code error;
    // Only regular files are copied: a device such as /dev/zero would never
    // end, and a directory cannot be read as bytes.
    if (source.empty() || !std::filesystem::is_regular_file(source, error))
        return CopyOutcome::cannot_open;
    FileHandle input(std::fopen(source.c_str(), "rb"));
    if (!input)
        return CopyOutcome::cannot_open;
    if (is_same_file(source, destination))
        return CopyOutcome::copied;
    auto output = ReplacingFile::create(destination);
    if (!output)
        return CopyOutcome::cannot_open;

    std::vector<char> piece(copy_piece_size);
    for (;;) {
        size_t read = std::fread(piece.data(), 1, piece.size(), input.get());
        if (std::ferror(input.get()))
            return CopyOutcome::read_failed;
        if (read == 0)
            break;
        if (!output->write({ piece.data(), read }))
            return CopyOutcome::write_failed;
    }
    // The copy keeps the source's permissions, as a copy on Windows keeps
    // the source's attributes.
    auto permissions = std::filesystem::status(source, error).permissions();
    if (!output->commit(error ? std::filesystem::perms::unknown : permissions))
        return CopyOutcome::write_failed;
    return CopyOutcome::copied;
}

}
