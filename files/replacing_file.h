// SPDX-License-Identifier: GPL-3.0-or-later
// ReplacingFile: a new file written beside its destination and put in its place only when complete.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

namespace files {

// Commands that write a whole file (REPLICA, CODARQBASE64, DECODARQBASE64)
// write through this, so that a failure part-way (a full disk, a source that
// goes away) leaves the destination as it was, never half-written.
class ReplacingFile {
public:
    // Nothing when the destination's folder does not take a new file, or the
    // destination is a directory.
    static std::unique_ptr<ReplacingFile> create(const std::filesystem::path& destination);

    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // False when not every byte was taken; the file is then abandoned.
    bool write(std::string_view bytes);
    // Flushes the bytes and puts the file in the destination's place, with
    // `permissions` when given. False when that failed; the destination is
    // then untouched.
    bool commit(std::filesystem::perms permissions = std::filesystem::perms::unknown);

private:
    ReplacingFile(std::FILE* file, std::filesystem::path partial, std::filesystem::path destination);
    void abandon();

    std::FILE* m_file;
    std::filesystem::path m_partial;
    std::filesystem::path m_destination;
    bool m_failed = false;
    // True while the destination is the empty file made to claim its name.
    bool m_placeholder = false;
};

}
