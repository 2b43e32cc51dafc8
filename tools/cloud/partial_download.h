// SPDX-License-Identifier: GPL-3.0-or-later
// PartialDownload: the hidden file a download writes before it is renamed
// into place, noted in the data folder for as long as it exists.
#pragma once

#include <filesystem>

namespace cloud {

// A download copies into ".NAME.part" beside its target. A server killed
// during the copy would leave that file behind for good, and it would stop
// every later download of the same name into that folder. So each one is
// noted in `notes_folder` while the copy runs, and the next server removes
// whatever the notes still name (remove_partial_downloads).
class PartialDownload {
public:
    PartialDownload(std::filesystem::path notes_folder, const std::filesystem::path& temporary);
    ~PartialDownload();
    PartialDownload(const PartialDownload&) = delete;
    PartialDownload& operator=(const PartialDownload&) = delete;

private:
    std::filesystem::path m_note;
};

// Removes the partial downloads that the notes in `notes_folder` name, and
// the notes. Only a hidden ".part" entry given by an absolute path is ever
// removed, whatever a note holds.
void remove_partial_downloads(const std::filesystem::path& notes_folder);

}
