// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers the cloud service's commands share.
#include "service_helpers.h"

#include <ctime>
#include <random>

namespace cloud {

namespace fs = std::filesystem;

std::string random_text(size_t length)
{
    static constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text += alphabet[pick(device)];
    return text;
}

std::string utc_time(const char* format)
{
    std::time_t now = std::time(nullptr);
    std::tm parts {};
    gmtime_r(&now, &parts);
    char text[64];
    std::strftime(text, sizeof text, format, &parts);
    return text;
}

std::string access_name(Access level)
{
    switch (level) {
    case Access::Read:
        return "read access";
    case Access::ReadWrite:
        return "read/write access";
    case Access::Full:
        return "full access";
    case Access::Owner:
        break;
    }
    return "owner access";
}

// The token at the end of a link: what follows its last "/" or "!".
std::string link_token(std::string_view link)
{
    while (!link.empty() && (link.back() == ' ' || link.back() == '/'))
        link.remove_suffix(1);
    auto cut = link.find_last_of("/!#");
    return std::string(cut == std::string_view::npos ? link : link.substr(cut + 1));
}

// Text shown on one line: control characters would start a new one.
std::string one_line(std::string_view text)
{
    std::string shown(text);
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
    return shown;
}

bool is_folder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(fs::symlink_status(path, error));
}

bool exists_here(const fs::path& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

bool is_inside(std::string_view path, std::string_view folder)
{
    if (folder == "/")
        return true;
    return path == folder || (path.starts_with(folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

}
