// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the plain-text case tables kept beside the tests, a case a line.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace test_support {

struct TableLine {
    int number = 0; // in the file, for failure messages
    std::string text;
};

// The lines that are not empty and do not begin with "#". An unreadable
// table gives none, which the calling test must treat as a failure.
inline std::vector<TableLine> read_table_lines(const std::filesystem::path& path)
{
    std::vector<TableLine> lines;
    std::ifstream table(path);
    std::string line;
    for (int number = 1; std::getline(table, line); ++number) {
        if (!line.empty() && line[0] != '#')
            lines.push_back({ number, line });
    }
    return lines;
}

}
