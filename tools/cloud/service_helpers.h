// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers the cloud service's commands share.
#pragma once

#include "cloud_state.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace cloud {

// Links of this service: confirmation, cancellation and download links.
inline constexpr std::string_view link_site = "https://nuvem.invalid/";

// Letters and digits from the system's random source.
std::string random_text(size_t length);
// The time now, UTC, in a strftime format.
std::string utc_time(const char* format);
// "read access", "read/write access", "full access", "owner access".
std::string access_name(Access level);
// The token at the end of a link: what follows its last "/" or "!".
std::string link_token(std::string_view link);
// Text shown on one line: control characters would start a new one.
std::string one_line(std::string_view text);
// Without following links.
bool is_folder(const std::filesystem::path& path);
bool exists_here(const std::filesystem::path& path);
// Whether `path` is `folder` or below it ("/a/b" is inside "/a", "/ab" is not).
bool is_inside(std::string_view path, std::string_view folder);

}
