// SPDX-License-Identifier: GPL-3.0-or-later
// Copying one file's bytes into another, for REPLICA.
#pragma once

#include <filesystem>

namespace files {

enum class CopyOutcome {
    copied,
    cannot_open,   // the source is not a readable file or the destination cannot be created
    read_failed,   // the source failed part-way
    write_failed,  // the destination took fewer bytes than it was given
};

// Copies in pieces of 30000 bytes. The bytes go to a new file beside the
// destination that replaces it only once every byte is written and flushed,
// so a copy that fails leaves the destination as it was and never a
// half-written file. A copy of a file onto itself changes nothing.
CopyOutcome copy_file_in_pieces(const std::filesystem::path& source, const std::filesystem::path& destination);

constexpr size_t copy_piece_size = 30000;

}
