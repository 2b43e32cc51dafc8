// SPDX-License-Identifier: GPL-3.0-or-later
// ReplacingFile: a new file written beside its destination and put in its place only when complete.
#include "console/replacing_file.h"

#include <cerrno>
#include <random>
#include <string>
#include <system_error>

namespace console {

std::unique_ptr<ReplacingFile> ReplacingFile::create(const std::filesystem::path& destination)
{
    std::error_code error;
    if (destination.empty() || !destination.has_filename() || std::filesystem::is_directory(destination, error))
        return nullptr;
    // The partial name is created exclusively, so it never replaces a file
    // that is already there; a clash only means another try.
    std::random_device seed;
    for (int attempt = 0; attempt < 16; ++attempt) {
        auto partial = destination;
        partial += ".partial-" + std::to_string(seed() % 1000000u);
        if (std::FILE* file = std::fopen(partial.c_str(), "wbx"))
            return std::unique_ptr<ReplacingFile>(new ReplacingFile(file, partial, destination));
        if (errno != EEXIST)
            break;
    }
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
    return true;
}

}
