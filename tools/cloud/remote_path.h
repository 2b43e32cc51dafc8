// SPDX-License-Identifier: GPL-3.0-or-later
// RemoteLocation: a path of the cloud, as a command names it, resolved
// against the session's folder and the shares the user receives.
#pragma once

#include "cloud_state.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace cloud {

// Names are single components: never empty, ".", ".." or with "/", so
// that joining them under an account's folder cannot leave it.
bool is_valid_name(std::string_view name);

struct RemoteLocation {
    std::string owner;              // the account whose files these are
    std::vector<std::string> base;  // the shared folder in the owner's tree; empty for one's own
    std::vector<std::string> below; // the names below `base`
    Access access = Access::Owner;
    std::string prefix; // "" for one's own files, "//from/owner:Folder" for a received share

    // The path in the owner's tree: base and below.
    std::vector<std::string> owner_parts() const;
    // "/a/b" for the owner.
    std::string owner_path() const;
    // The path as the user sees it: "/a/b" or "//from/o@x:F/b".
    std::string display() const;
    // The last name, or "" for a root.
    std::string name() const;
    bool is_root() const { return below.empty(); }
};

struct PathError {
    std::string message;
};

// Resolves `text` for the user `me`, whose current folder is `folder` (a
// display path). ".." stops at the root of one's own files; above a received
// share it leads back to one's own root. Existence is not checked here.
std::variant<RemoteLocation, PathError> resolve_remote(
    const CloudState& state, std::string_view me, std::string_view folder, std::string_view text);

// Splits "/a//b/" into {"a", "b"}.
std::vector<std::string> split_remote(std::string_view path);
std::string join_remote(const std::vector<std::string>& parts);

}
