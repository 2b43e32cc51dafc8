// SPDX-License-Identifier: GPL-3.0-or-later
// DirectorySearch: the one file search that all BUSCA statements share.
#include "files/directory_search.h"

#include "files/file_paths.h"
#include "files/wildcard_match.h"
#include "interpreter/text.h"

#include <algorithm>
#include <system_error>

namespace files {

// The matching names are collected when the search starts, in the order of
// their upper-case form, so that a script walking a folder sees a stable
// order whatever the file system's own order is.
std::string DirectorySearch::start(const std::filesystem::path& folder, std::string_view pattern, Kind kind)
{
    end();
    m_active = true;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder.empty() ? std::filesystem::path(".") : folder, error);
    if (error)
        return next();
    for (auto end_entry = std::filesystem::directory_iterator(); entries != end_entry; entries.increment(error)) {
        if (error)
            break;
        std::string name = runtime_name(entries->path().filename());
        if (name.empty() || name[0] == '.')
            continue;
        std::error_code type_error;
        bool is_directory = entries->is_directory(type_error);
        if (type_error)
            continue;
        if (is_directory != (kind == Kind::directories))
            continue;
        if (matches_wildcard(pattern, name))
            m_names.push_back(std::move(name));
    }
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(m_names.size());
    for (auto& name : m_names)
        keyed.emplace_back(interpreter::upper_text(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    for (size_t index = 0; index < keyed.size(); ++index)
        m_names[index] = std::move(keyed[index].second);
    return next();
}

std::string DirectorySearch::next()
{
    if (!m_active || m_next >= m_names.size()) {
        end();
        return {};
    }
    return m_names[m_next++];
}

void DirectorySearch::end()
{
    m_names.clear();
    m_next = 0;
    m_active = false;
}

}
