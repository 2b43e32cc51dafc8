// SPDX-License-Identifier: GPL-3.0-or-later
// The accent table: how each Windows-1252 character from 128 to 255 is typed.
#pragma once

namespace desktop {

struct AccentedKey {
    // The accent typed first (one of ` ´ ^ ~ ¨), 0 when there is none.
    unsigned char dead_key = 0;
    // The character typed after it: the plain letter, or the character
    // itself when there is no dead key.
    unsigned char base = 0;
};

// For characters below 128 the character itself, without a dead key.
AccentedKey accented_key(unsigned char character);

}
