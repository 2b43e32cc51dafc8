// SPDX-License-Identifier: GPL-3.0-or-later
// UnitIndex: the index of the unit database ("DIFONES2.IND"), held whole and searched by halving.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace speech {

// 15-byte records sorted by name in byte order: the name's length, 8 name
// bytes (upper case, padded), the sample count (16 bits) and the unit's byte
// offset in the sample file (32 bits), little-endian.
constexpr size_t unit_record_size = 15;
constexpr size_t unit_name_width = 8;

struct UnitRecord {
    uint16_t samples = 0;
    uint32_t offset = 0;
};

class UnitIndex {
public:
    // Takes the file's bytes; a trailing part shorter than a record is ignored.
    void load(std::vector<uint8_t> bytes);
    void clear() { m_bytes.clear(); }

    std::optional<UnitRecord> find(std::string_view upper_name) const;
    size_t size() const { return m_bytes.size() / unit_record_size; }
    std::string_view name_at(size_t record) const;

private:
    std::vector<uint8_t> m_bytes;
};

}
