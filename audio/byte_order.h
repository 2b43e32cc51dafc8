// SPDX-License-Identifier: GPL-3.0-or-later
// Little-endian reads and writes of the WAVE format's fields.
#pragma once

#include <cstddef>
#include <cstdint>

namespace audio {

// The callers check bounds: these read and write exactly 2 or 4 bytes at `at`.
inline uint16_t read_le16(const uint8_t* at)
{
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

inline uint32_t read_le32(const uint8_t* at)
{
    return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

inline void write_le16(uint8_t* at, uint16_t value)
{
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

inline void write_le32(uint8_t* at, uint32_t value)
{
    for (int index = 0; index < 4; ++index)
        at[index] = static_cast<uint8_t>(value >> (8 * index));
}

}
