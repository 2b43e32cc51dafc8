// SPDX-License-Identifier: GPL-3.0-or-later
// A file size in the readable form of HTAMARQ: "1.50KB", "100.00 B".
#pragma once

#include <cstdint>
#include <string>

namespace files {

// The size divided by 1024 while it is 1024 or more, with two decimals and
// the unit of the number of divisions: " B", "KB", " MB", "GB", " TB" (the
// blanks are part of the units scripts compare with), and no unit past
// terabytes.
std::string format_readable_size(uint64_t size, char decimal_separator);

// The decimal separator of the user's locale settings ("." when they name
// none, or one this system does not have).
char locale_decimal_separator();

}
