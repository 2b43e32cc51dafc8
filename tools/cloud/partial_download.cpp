// SPDX-License-Identifier: GPL-3.0-or-later
// PartialDownload: notes of downloads under way, and their removal after a crash.
#include "partial_download.h"

#include "service_helpers.h"

#include <fstream>
#include <iterator>
#include <string>

namespace cloud {

namespace fs = std::filesystem;

namespace {

bool is_partial_name(const fs::path& path)
{
    auto name = path.filename().string();
    return path.is_absolute() && name.size() > 6 && name.starts_with('.') && name.ends_with(".part");
}

}

PartialDownload::PartialDownload(fs::path notes_folder, const fs::path& temporary)
    : m_note(std::move(notes_folder) / (random_text(16) + ".txt"))
{
    std::ofstream out(m_note, std::ios::binary | std::ios::trunc);
    out << temporary.string();
}

PartialDownload::~PartialDownload()
{
    std::error_code error;
    fs::remove(m_note, error);
}

void remove_partial_downloads(const fs::path& notes_folder)
{
    std::error_code error;
    for (fs::directory_iterator it(notes_folder, error), end; !error && it != end; it.increment(error)) {
        std::ifstream in(it->path(), std::ios::binary);
        fs::path temporary(std::string(std::istreambuf_iterator<char>(in), {}));
        in.close();
        std::error_code ignored;
        if (is_partial_name(temporary) && temporary.lexically_normal() == temporary)
            fs::remove_all(temporary, ignored); // a link is removed, never followed
        fs::remove(it->path(), ignored);
    }
}

}
