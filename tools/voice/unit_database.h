// SPDX-License-Identifier: GPL-3.0-or-later
// The "DIFONES2" unit database: an index of 15-byte records sorted by name
// (length, 8 name bytes, 16-bit sample count, 32-bit offset, little-endian)
// and a sample file of raw 8-bit unsigned units at 11025 Hz.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace voice {

constexpr size_t index_record_size = 15;
constexpr size_t longest_index_name = 8;

struct IndexRecord {
    std::string name;
    uint16_t count = 0;
    uint32_t offset = 0;
};

class UnitIndex {
public:
    static std::optional<UnitIndex> load(const std::string& index_path);
    static UnitIndex parse(std::string_view bytes);

    std::optional<int> sample_count(std::string_view upper_name) const;
    const std::vector<IndexRecord>& records() const { return m_records; }
    // The file had a whole number of records.
    bool whole() const { return m_whole; }

private:
    std::vector<IndexRecord> m_records;
    bool m_whole = true;
};

// Writes the units (name to samples) as index and sample files. Names are
// upper case and at most 8 bytes; the map keeps them in byte order.
bool write_unit_database(const std::map<std::string, std::vector<uint8_t>>& units,
                         const std::string& index_path, const std::string& samples_path);

}
