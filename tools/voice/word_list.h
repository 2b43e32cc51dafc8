// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a word list (one UTF-8 word a line) into the words the speech
// client hands to the translator: runs of word letters in Windows-1252.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace voice {

// Sorted and without repeats.
std::optional<std::vector<std::string>> read_word_list(const std::string& path);

// The runs of letters (A to Z, a to z, codes 128 to 255) of a text, the way
// the speech client cuts words out of what it speaks.
std::vector<std::string> letter_runs(std::string_view text);

}
