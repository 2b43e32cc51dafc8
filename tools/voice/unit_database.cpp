// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the "DIFONES2" index and sample files.
#include "unit_database.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace voice {

namespace {

uint32_t get_le(std::string_view bytes, size_t at, int width)
{
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + size_t(i)]);
    return value;
}

void put_le(std::string& out, uint32_t value, int width)
{
    for (int i = 0; i < width; ++i)
        out += char(value >> (8 * i));
}

}

UnitIndex UnitIndex::parse(std::string_view bytes)
{
    UnitIndex index;
    index.m_whole = bytes.size() % index_record_size == 0;
    for (size_t at = 0; at + index_record_size <= bytes.size(); at += index_record_size) {
        size_t length = std::min<size_t>(static_cast<unsigned char>(bytes[at]), longest_index_name);
        IndexRecord record;
        record.name = std::string(bytes.substr(at + 1, length));
        record.count = uint16_t(get_le(bytes, at + 9, 2));
        record.offset = get_le(bytes, at + 11, 4);
        index.m_records.push_back(record);
    }
    return index;
}

std::optional<UnitIndex> UnitIndex::load(const std::string& index_path)
{
    std::ifstream file(index_path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream contents;
    contents << file.rdbuf();
    return parse(contents.str());
}

std::optional<int> UnitIndex::sample_count(std::string_view upper_name) const
{
    auto found = std::lower_bound(m_records.begin(), m_records.end(), upper_name,
                                  [](const IndexRecord& record, std::string_view name) { return record.name < name; });
    if (found == m_records.end() || found->name != upper_name)
        return std::nullopt;
    return found->count;
}

bool write_unit_database(const std::map<std::string, std::vector<uint8_t>>& units,
                         const std::string& index_path, const std::string& samples_path)
{
    std::string index;
    std::string samples;
    for (const auto& [name, unit] : units) {
        if (name.empty() || name.size() > longest_index_name || unit.size() > 0xFFFF)
            return false;
        index += char(name.size());
        std::string padded = name;
        padded.resize(longest_index_name, ' ');
        index += padded;
        put_le(index, uint32_t(unit.size()), 2);
        put_le(index, uint32_t(samples.size()), 4);
        samples.append(unit.begin(), unit.end());
    }
    std::ofstream index_file(index_path, std::ios::binary | std::ios::trunc);
    std::ofstream samples_file(samples_path, std::ios::binary | std::ios::trunc);
    index_file << index;
    samples_file << samples;
    return bool(index_file) && bool(samples_file);
}

}
