// SPDX-License-Identifier: GPL-3.0-or-later
// Two-way copying between a local folder and a folder of the cloud.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace cloud {

// What both sides held after the last pass (relative path, and whether it
// is a folder). An entry missing on one side that was there before was
// deleted on that side; one that was not there before is new on the other.
struct SyncSnapshot {
    std::map<std::string, bool> entries;
};

struct SyncCounts {
    int copied = 0;
    int deleted = 0;
};

// One pass: new and changed files go to the other side (the newer copy
// wins), deletions are repeated on the other side. The first pass (an empty
// snapshot) deletes nothing. Symbolic links, devices and pipes are never
// followed or copied. Either root missing: nothing is done.
SyncCounts sync_pass(const std::filesystem::path& local, const std::filesystem::path& remote, SyncSnapshot& snapshot);

}
