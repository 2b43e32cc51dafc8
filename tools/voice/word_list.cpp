// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the word list.
#include "word_list.h"

#include "base/text_encoding.h"

#include <algorithm>
#include <fstream>

namespace voice {

std::vector<std::string> letter_runs(std::string_view text)
{
    std::vector<std::string> runs;
    std::string run;
    for (char c : text) {
        unsigned char code = static_cast<unsigned char>(c);
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || code >= 128;
        if (letter) {
            run += c;
        } else if (!run.empty()) {
            runs.push_back(run);
            run.clear();
        }
    }
    if (!run.empty())
        runs.push_back(run);
    return runs;
}

std::optional<std::vector<std::string>> read_word_list(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::vector<std::string> words;
    std::string line;
    while (std::getline(file, line)) {
        for (std::string& run : letter_runs(base::utf8_to_windows1252(line)))
            words.push_back(std::move(run));
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

}
