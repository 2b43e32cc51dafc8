// SPDX-License-Identifier: GPL-3.0-or-later
// ExceptionTable: words the rules get wrong, with their pronunciation, found by halving.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace speech {

constexpr size_t max_exceptions = 15000;

class ExceptionTable {
public:
    struct Entry {
        std::string word;
        std::string pronunciation;
    };

    // Parses the text of an exceptions file ("portug.exc"): "word=pronunciation|"
    // lines, at most 255 characters each and 15000 entries; sorted by word.
    void load(std::string_view file_text);

    std::optional<std::string_view> find(std::string_view word) const;

    // The pronunciation of a word, retrying without a final "s" or "m"
    // (which is then put back after the pronunciation); the word itself
    // when nothing is found.
    std::string pronounce(std::string_view word) const;

    size_t size() const { return m_entries.size(); }

private:
    std::vector<Entry> m_entries;
};

}
