// SPDX-License-Identifier: GPL-3.0-or-later
// ReplacingFile: a new file written beside its destination and put in its place only when complete.
#include "files/replacing_file.h"

#include <cerrno>
#include <random>
#include <string>
#include <system_error>

namespace files {

std::unique_ptr<ReplacingFile> ReplacingFile::create(const std::filesystem::path& destination)
{
    std::error_code error;
    if (destination.empty() || !destination.has_filename() || std::filesystem::is_directory(destination, error))
        return nullptr;
    // A destination that does not exist yet is created empty now, so that a
    // name the file system refuses fails here, before any copying; it is
    // removed again if the new file never takes its place.
    bool placeholder = false;
    if (!std::filesystem::exists(std::filesystem::symlink_status(destination, error))) {
        std::FILE* probe = std::fopen(destination.c_str(), "wbx");
        if (!probe)
            return nullptr;
        std::fclose(probe);
        placeholder = true;
    }
    // The partial file is hidden (BUSCA never shows it) and short, so that it
    // fits wherever a destination of any allowed length fits. It is created
    // exclusively, so it never replaces a file that is already there; a
    // clash only means another try.
    std::random_device seed;
    for (int attempt = 0; attempt < 16; ++attempt) {
        auto partial = destination.parent_path() / (".partial-" + std::to_string(seed() % 1000000u));
        if (std::FILE* file = std::fopen(partial.c_str(), "wbx")) {
            auto replacing = std::unique_ptr<ReplacingFile>(new ReplacingFile(file, partial, destination));
            replacing->m_placeholder = placeholder;
            return replacing;
        }
        if (errno != EEXIST)
            break;
    }
    if (placeholder)
        std::filesystem::remove(destination, error);
    return nullptr;
}

ReplacingFile::ReplacingFile(std::FILE* file, std::filesystem::path partial, std::filesystem::path destination)
    : m_file(file)
    , m_partial(std::move(partial))
    , m_destination(std::move(destination))
{
}

ReplacingFile::~ReplacingFile()
{
    abandon();
}

void ReplacingFile::abandon()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_partial.empty()) {
        std::error_code error;
        std::filesystem::remove(m_partial, error);
        m_partial.clear();
        if (m_placeholder)
            std::filesystem::remove(m_destination, error);
        m_placeholder = false;
    }
}

bool ReplacingFile::write(std::string_view bytes)
{
    if (!m_file || m_failed)
        return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) {
        m_failed = true;
        abandon();
        return false;
    }
    return true;
}

bool ReplacingFile::commit(std::filesystem::perms permissions)
{
    if (!m_file || m_failed)
        return false;
    bool flushed = std::fflush(m_file) == 0;
    bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!flushed || !closed) {
        abandon();
        return false;
    }
    std::error_code error;
    if (permissions != std::filesystem::perms::unknown)
        std::filesystem::permissions(m_partial, permissions, error);
    std::filesystem::rename(m_partial, m_destination, error);
    if (error) {
        abandon();
        return false;
    }
    m_partial.clear();
    m_placeholder = false;
    return true;
}

}
