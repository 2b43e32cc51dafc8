// SPDX-License-Identifier: GPL-3.0-or-later
// RemoteLocation: resolving the paths commands name.
#include "remote_path.h"

namespace cloud {

namespace {

constexpr std::string_view shared_root = "//from/";
// The longest name most file systems keep.
constexpr size_t max_name_bytes = 255;

RemoteLocation own_root(std::string_view me)
{
    RemoteLocation location;
    location.owner = std::string(me);
    return location;
}

// "//from/owner:Folder/rest": the received share named, with `rest` left
// in `remainder`.
std::variant<RemoteLocation, PathError> resolve_shared(
    const CloudState& state, std::string_view me, std::string_view text, std::string_view& remainder)
{
    text.remove_prefix(shared_root.size());
    auto colon = text.find(':');
    if (colon == std::string_view::npos)
        return PathError { "Not found: //from/" + std::string(text) };
    auto owner = text.substr(0, colon);
    auto after = text.substr(colon + 1);
    auto slash = after.find('/');
    auto folder = after.substr(0, slash);
    remainder = slash == std::string_view::npos ? std::string_view() : after.substr(slash);
    for (auto& share : state.shares) {
        if (share.with != me || share.owner != owner)
            continue;
        auto parts = split_remote(share.path);
        if (parts.empty() || parts.back() != folder)
            continue;
        RemoteLocation location;
        location.owner = share.owner;
        location.base = std::move(parts);
        location.access = share.level;
        location.prefix = std::string(shared_root) + share.owner + ":" + std::string(folder);
        return location;
    }
    return PathError { "Not found: //from/" + std::string(owner) + ":" + std::string(folder) };
}

}

bool is_valid_name(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.size() <= max_name_bytes
        && name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::vector<std::string> RemoteLocation::owner_parts() const
{
    auto parts = base;
    parts.insert(parts.end(), below.begin(), below.end());
    return parts;
}

std::string RemoteLocation::owner_path() const { return join_remote(owner_parts()); }

std::string RemoteLocation::display() const
{
    if (prefix.empty())
        return join_remote(below);
    return below.empty() ? prefix : prefix + join_remote(below);
}

std::string RemoteLocation::name() const
{
    if (!below.empty())
        return below.back();
    return base.empty() ? std::string() : base.back();
}

std::vector<std::string> split_remote(std::string_view path)
{
    std::vector<std::string> parts;
    while (!path.empty()) {
        auto slash = path.find('/');
        auto part = path.substr(0, slash);
        if (!part.empty())
            parts.emplace_back(part);
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

std::string join_remote(const std::vector<std::string>& parts)
{
    if (parts.empty())
        return "/";
    std::string path;
    for (auto& part : parts)
        path += "/" + part;
    return path;
}

std::variant<RemoteLocation, PathError> resolve_remote(
    const CloudState& state, std::string_view me, std::string_view folder, std::string_view text)
{
    if (text.find('\0') != std::string_view::npos)
        return PathError { "Invalid path" };
    RemoteLocation location;
    std::string_view rest;
    if (text.starts_with(shared_root)) {
        auto shared = resolve_shared(state, me, text, rest);
        if (auto* error = std::get_if<PathError>(&shared))
            return *error;
        location = std::get<RemoteLocation>(shared);
    } else if (text.starts_with("//")) {
        return PathError { "Not found: " + std::string(text) };
    } else if (text.starts_with('/')) {
        location = own_root(me);
        rest = text;
    } else {
        // The session's folder is itself a display path, never relative.
        auto current = resolve_remote(state, me, "/", folder.starts_with('/') ? folder : "/");
        if (std::holds_alternative<PathError>(current))
            current = own_root(me);
        location = std::get<RemoteLocation>(current);
        rest = text;
    }
    for (auto& part : split_remote(rest)) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (!location.below.empty())
                location.below.pop_back();
            else if (!location.prefix.empty())
                location = own_root(me);
            continue;
        }
        if (!is_valid_name(part))
            return PathError { "Invalid name: " + part };
        location.below.push_back(part);
    }
    return location;
}

}
