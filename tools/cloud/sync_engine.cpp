// SPDX-License-Identifier: GPL-3.0-or-later
// Two-way copying between a local folder and a folder of the cloud.
#include "sync_engine.h"

#include <set>
#include <system_error>

namespace cloud {

namespace fs = std::filesystem;

namespace {

struct EntryInfo {
    bool folder = false;
    uintmax_t size = 0;
    fs::file_time_type time;
};

using Tree = std::map<std::string, EntryInfo>;

void list_tree(const fs::path& root, const fs::path& folder, const std::string& prefix, Tree& tree)
{
    std::error_code error;
    for (fs::directory_iterator entries(folder, error), end; !error && entries != end; entries.increment(error)) {
        auto status = entries->symlink_status(error);
        if (error)
            break;
        auto name = entries->path().filename().string();
        auto relative = prefix.empty() ? name : prefix + "/" + name;
        if (fs::is_directory(status)) {
            tree[relative] = { true, 0, {} };
            list_tree(root, entries->path(), relative, tree);
        } else if (fs::is_regular_file(status)) {
            std::error_code ignored;
            tree[relative] = { false, entries->file_size(ignored), entries->last_write_time(ignored) };
        }
    }
}

// Copies through a hidden temporary name, so that the other side never
// takes a half-written file for a changed one.
bool copy_file_over(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    auto temporary = to.parent_path() / (".sync-" + to.filename().string() + ".part");
    fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, error);
    if (error)
        return false;
    fs::last_write_time(temporary, fs::last_write_time(from, error), error);
    fs::rename(temporary, to, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

bool is_temporary(const std::string& relative)
{
    auto slash = relative.rfind('/');
    auto name = slash == std::string::npos ? relative : relative.substr(slash + 1);
    return name.starts_with(".sync-") && name.ends_with(".part");
}

}

SyncCounts sync_pass(const fs::path& local, const fs::path& remote, SyncSnapshot& snapshot)
{
    SyncCounts counts;
    std::error_code error;
    if (!fs::is_directory(fs::symlink_status(local, error)) || !fs::is_directory(fs::symlink_status(remote, error)))
        return counts;
    Tree local_tree, remote_tree;
    list_tree(local, local, "", local_tree);
    list_tree(remote, remote, "", remote_tree);

    std::set<std::string> names;
    for (auto& [name, info] : local_tree)
        names.insert(name);
    for (auto& [name, info] : remote_tree)
        names.insert(name);

    SyncSnapshot next;
    // In path order a folder comes before what it holds, so parents are
    // made first; deleting a folder takes what it holds with it.
    for (auto& name : names) {
        if (is_temporary(name))
            continue;
        auto in_local = local_tree.find(name);
        auto in_remote = remote_tree.find(name);
        bool was_there = snapshot.entries.contains(name);
        auto local_path = local / name;
        auto remote_path = remote / name;
        if (in_local != local_tree.end() && in_remote != remote_tree.end()) {
            auto& l = in_local->second;
            auto& r = in_remote->second;
            if (l.folder != r.folder)
                continue; // a folder on one side, a file on the other: left alone
            if (!l.folder && (l.size != r.size || l.time != r.time)) {
                bool ok = r.time > l.time ? copy_file_over(remote_path, local_path) : copy_file_over(local_path, remote_path);
                counts.copied += ok ? 1 : 0;
            }
            next.entries[name] = l.folder;
            continue;
        }
        bool only_local = in_local != local_tree.end();
        auto& info = only_local ? in_local->second : in_remote->second;
        auto& source = only_local ? local_path : remote_path;
        auto& target = only_local ? remote_path : local_path;
        if (!fs::exists(fs::symlink_status(source, error)))
            continue; // went with a folder deleted earlier in this pass
        if (was_there) {
            // Gone from the other side since the last pass: delete here too.
            fs::remove_all(source, error);
            counts.deleted += error ? 0 : 1;
            continue;
        }
        if (!fs::is_directory(fs::symlink_status(target.parent_path(), error)))
            continue;
        if (info.folder) {
            fs::create_directory(target, error);
            if (!error)
                next.entries[name] = true;
        } else if (copy_file_over(source, target)) {
            ++counts.copied;
            next.entries[name] = false;
        }
    }
    snapshot = std::move(next);
    return counts;
}

}
