// SPDX-License-Identifier: GPL-3.0-or-later
// The quoted-printable style escape of texts: "=" and two hexadecimal digits per byte.
#pragma once

#include <string>
#include <string_view>

namespace encoding {

// Bytes 0 to 31, "=" and 127 to 255 become "=" and two upper-case
// hexadecimal digits; every other byte stays.
std::string add_quoted(std::string_view text);

// A final "=" (a soft line break's remains) is dropped; then "=" followed by
// two hexadecimal digits of either case becomes the byte they give, and any
// other "=" is kept as it is.
std::string remove_quoted(std::string_view text);

}
