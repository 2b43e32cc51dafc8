// SPDX-License-Identifier: GPL-3.0-or-later
// TranslationRules: the context rules of the built-in translator, bucketed by their first letter.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace speech {

struct TranslationRule {
    std::string left; // read right to left from the centre
    std::string centre;
    std::string right;
    std::string output;
};

class TranslationRules {
public:
    // Parses the text of a rules file ("regras.rgr"), emptying every bucket
    // first. A line that does not parse gives a rule that never matches.
    void load(std::string_view file_text);

    // Rules whose centre begins with `c` (32..95), in file order.
    const std::vector<TranslationRule>& bucket(char c) const;

    // The unit string of one prepared, stress-marked word: "[" units
    // joined by "/" "]".
    std::string apply(std::string_view word) const;

    size_t size() const;

private:
    static constexpr int first_bucket = 32;
    static constexpr int last_bucket = 95;
    std::array<std::vector<TranslationRule>, last_bucket - first_bucket + 1> m_buckets;
};

// True when the rule matches `word` at 0-based position `position`.
bool rule_matches(const TranslationRule& rule, std::string_view word, size_t position);

}
