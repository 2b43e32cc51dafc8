// SPDX-License-Identifier: GPL-3.0-or-later
// DirectorySearch: the one file search that all BUSCA statements share.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace files {

class DirectorySearch {
public:
    enum class Kind {
        files,
        directories,
    };

    // Starts a search of `folder` for names matching `pattern` (Windows
    // wildcards, case-insensitive), replacing any earlier search. Names
    // starting with "." are hidden and never found. Returns the first name
    // found (Windows-1252), or an empty text when there is none.
    std::string start(const std::filesystem::path& folder, std::string_view pattern, Kind kind);

    // The next name of the current search, or an empty text when the search
    // is over (which ends it).
    std::string next();

    void end();
    bool is_active() const { return m_active; }

private:
    std::vector<std::string> m_names;
    size_t m_next = 0;
    bool m_active = false;
};

}
