// SPDX-License-Identifier: GPL-3.0-or-later
// Matching file names against "*" and "?" patterns the way Windows searches do.
#include "files/wildcard_match.h"

#include "interpreter/text.h"

namespace files {

namespace {

// Iterative matching with one backtrack point for the last "*": linear in
// practice and never recursive, whatever the pattern.
bool match_plain(std::string_view pattern, std::string_view name)
{
    size_t p = 0, n = 0;
    size_t star = std::string_view::npos, star_name = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            star_name = n;
        } else if (p < pattern.size() && pattern[p] == '?' && name[n] == '.') {
            ++p; // "?" never takes a dot; there it matches nothing
        } else if (p < pattern.size()
            && (pattern[p] == '?' || interpreter::upper_byte(pattern[p]) == interpreter::upper_byte(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++star_name;
        } else {
            return false;
        }
    }
    // Left-over "*" and "?" match the empty end of the name.
    while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '?'))
        ++p;
    return p == pattern.size();
}

}

bool matches_wildcard(std::string_view pattern, std::string_view name)
{
    if (match_plain(pattern, name))
        return true;
    bool has_dot = name.find('.') != std::string_view::npos;
    if (has_dot)
        return false;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
        return match_plain(pattern.substr(0, pattern.size() - 2), name);
    if (!pattern.empty() && pattern.back() == '.')
        return match_plain(pattern.substr(0, pattern.size() - 1), name);
    return false;
}

}
