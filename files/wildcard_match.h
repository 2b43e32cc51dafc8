// SPDX-License-Identifier: GPL-3.0-or-later
// Matching file names against "*" and "?" patterns the way Windows searches do.
#pragma once

#include <string_view>

namespace files {

// Both texts are Windows-1252 and compared with the runtime's case rule.
// "*" matches any run of characters and "?" any one character but a dot;
// at a dot or at the end of the name "?" matches nothing. As on Windows, a pattern ending in ".*" also matches
// a name without a dot ("*.*" matches every name), and a pattern ending in
// "." matches a name without an extension ("*." finds names with no dot).
bool matches_wildcard(std::string_view pattern, std::string_view name);

}
