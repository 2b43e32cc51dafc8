// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the exceptions file: words whose rules output disagrees with
// espeak-ng's own pronunciation, each with a respelling that our rules turn
// into espeak-ng's sounds.
#pragma once

#include "espeak_renderer.h"

#include "speech/translation_rules.h"

#include <map>
#include <string>
#include <vector>

namespace voice {

constexpr size_t exception_capacity = 15000;

// Prepared words and their respellings, in the byte order of the file.
using Respellings = std::map<std::string, std::string>;

struct ExceptionStatistics {
    size_t words = 0;        // words compared
    size_t disagreements = 0; // words whose rules output differed
    size_t kept = 0;          // entries written
    size_t unspellable = 0;   // disagreements with no verified respelling
};

// Words are Windows-1252, one word each (no blanks). Shorter words are
// taken first, so a singular is in the table before its plural is checked,
// and a plural that the singular already covers needs no entry. Our side
// of every comparison is the program's own translator.
Respellings build_exceptions(const std::vector<std::string>& words, const speech::TranslationRules& rules,
                             EspeakRenderer& renderer, ExceptionStatistics& statistics);

// The file text: "word=respelling" lines in byte order.
std::string exceptions_file_text(const Respellings& respellings);

}
