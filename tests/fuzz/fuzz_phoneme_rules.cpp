// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the phoneme-line voice's rules reader and translator: the input is a rules file, and its last line the words.
#include "speech/engines/phoneme_line_translator.h"

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    speech::PhonemeLineTranslator translator;
    translator.load_rules(text);
    // The input also serves as the exceptions file: both readers take any bytes.
    translator.load_exceptions(text);

    // Every rule stays within its widths, and is filed under its first letter.
    size_t rules = 0;
    for (int code = 0; code < 256; ++code) {
        for (const auto& rule : translator.bucket(static_cast<uint8_t>(code))) {
            ++rules;
            if (rule.centre.empty() || static_cast<uint8_t>(rule.centre[0]) != code || rule.left.size() > 5
                || rule.centre.size() > 5 || rule.right.size() > 5 || rule.output.size() > 11)
                std::abort();
        }
    }
    if (rules != translator.rule_count())
        std::abort();

    // The words to translate: the input's last line, upper-cased by the
    // translator, as word lines of three digits and a bar.
    size_t last_line = text.rfind('\n');
    std::string_view words = last_line == std::string_view::npos ? text : text.substr(last_line + 1);
    std::vector<std::string> lines { "555|" };
    size_t start = 0;
    while (start < words.size() && lines.size() < 64) {
        size_t blank = words.find(' ', start);
        if (blank == std::string_view::npos)
            blank = words.size();
        lines.push_back("555|" + std::string(words.substr(start, std::min<size_t>(blank - start, 256))));
        start = blank + 1;
    }
    auto phonemes = translator.translate(lines);
    // A comment line for every word line, and the closing pause.
    if (phonemes.size() < lines.size() + 1 || phonemes.back() != "__")
        std::abort();
    // No phoneme is longer than the output it came from.
    for (const auto& phoneme : phonemes) {
        if (!phoneme.empty() && phoneme[0] != ';' && phoneme.size() > 12)
            std::abort();
    }
    (void)speech::find_stress(speech::lower_text(words));
    return 0;
}
