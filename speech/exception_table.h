// SPDX-License-Identifier: GPL-3.0-or-later
// ExceptionTable: words the rules get wrong, with their pronunciation, found by halving.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace speech {

constexpr size_t max_exceptions = 15000;

class ExceptionTable {
public:
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
    // Where an entry's word and pronunciation stand in m_text. Every program
    // start loads some six thousand entries; pointing into one copy of the
    // file costs a fraction of a string for each.
    struct Entry {
        uint32_t word_begin = 0;
        uint32_t word_length = 0;
        uint32_t pronunciation_begin = 0;
        uint32_t pronunciation_length = 0;
    };
    std::string_view word(const Entry& entry) const { return { m_text.data() + entry.word_begin, entry.word_length }; }
    std::string_view pronunciation(const Entry& entry) const
    {
        return { m_text.data() + entry.pronunciation_begin, entry.pronunciation_length };
    }

    // The file's text, followed by the words made for lines without "=".
    std::string m_text;
    std::vector<Entry> m_entries;
};

}
