// SPDX-License-Identifier: GPL-3.0-or-later
// UTF8PARAANSI's byte rule: two-byte UTF-8 sequences folded into one byte.
#pragma once

#include <string>
#include <string_view>

namespace encoding {

// Not a general decoder, and deliberately so: scripts rely on its exact
// result. A byte 110xxxxx and whatever byte follows become one byte made of
// the lead's low two bits and the follower's low six bits (U+0080..U+00FF
// give their Latin-1 byte; higher two-byte characters keep their low eight
// bits). Every other byte is copied, so three- and four-byte sequences pass
// through raw. A lead byte at the very end is combined with a space.
std::string fold_two_byte_utf8(std::string_view text);

}
