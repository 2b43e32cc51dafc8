// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the plain-text case tables of the interpreter tests.
//
// A table has one case per line, fields separated by " | " and trimmed.
// A line that ends with " |" has an empty last field. Lines that are empty
// or begin with "#" are skipped. Inside a field,
// "\xHH" stands for a byte (Windows-1252 letters, or a space at an end),
// and "\r", "\n", "\t" and "\\" for themselves.
#pragma once

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace test_cases {

struct CaseLine {
    int number = 0; // line number in the table file, for failure messages
    std::vector<std::string> fields;
};

inline int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline std::string unescape(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        if (next == 'x' && i + 2 < text.size() && hex_value(text[i + 1]) >= 0 && hex_value(text[i + 2]) >= 0) {
            out += static_cast<char>(hex_value(text[i + 1]) * 16 + hex_value(text[i + 2]));
            i += 2;
        } else if (next == 'r') {
            out += '\r';
        } else if (next == 'n') {
            out += '\n';
        } else if (next == 't') {
            out += '\t';
        } else {
            out += next;
        }
    }
    return out;
}

inline std::string trim_field(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return unescape(text);
}

// Reads CASE_TABLE_DIR/name; an unreadable table gives no cases, which the
// calling test must treat as a failure.
inline std::vector<CaseLine> read_case_table(const std::string& name)
{
    std::vector<CaseLine> cases;
    std::ifstream file(std::string(CASE_TABLE_DIR) + "/" + name);
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        std::string_view view(line);
        size_t first = view.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || view[first] == '#')
            continue;
        CaseLine entry { number, {} };
        // A line that ends with " |" has an empty last field.
        while (!view.empty() && (view.back() == '\r' || view.back() == ' '))
            view.remove_suffix(1);
        bool empty_last = view.ends_with(" |");
        if (empty_last)
            view.remove_suffix(2);
        for (;;) {
            size_t separator = view.find(" | ");
            entry.fields.push_back(trim_field(view.substr(0, separator)));
            if (separator == std::string_view::npos)
                break;
            view.remove_prefix(separator + 3);
        }
        if (empty_last)
            entry.fields.emplace_back();
        cases.push_back(std::move(entry));
    }
    return cases;
}

}
