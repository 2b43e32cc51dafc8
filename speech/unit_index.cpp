// SPDX-License-Identifier: GPL-3.0-or-later
// UnitIndex: the index of the unit database ("DIFONES2.IND"), held whole and searched by halving.
#include "speech/unit_index.h"

#include <algorithm>

namespace speech {

void UnitIndex::load(std::vector<uint8_t> bytes)
{
    m_bytes = std::move(bytes);
    m_bytes.resize(m_bytes.size() / unit_record_size * unit_record_size);
}

std::string_view UnitIndex::name_at(size_t record) const
{
    const uint8_t* at = m_bytes.data() + record * unit_record_size;
    // A length byte beyond the field is a damaged record: the field bounds it.
    size_t length = std::min<size_t>(at[0], unit_name_width);
    return std::string_view(reinterpret_cast<const char*>(at + 1), length);
}

std::optional<UnitRecord> UnitIndex::find(std::string_view upper_name) const
{
    if (upper_name.size() > unit_name_width)
        return std::nullopt;
    size_t low = 0;
    size_t high = size();
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        auto name = name_at(middle);
        int order = name.compare(upper_name);
        if (order == 0) {
            const uint8_t* at = m_bytes.data() + middle * unit_record_size;
            UnitRecord record;
            record.samples = static_cast<uint16_t>(at[9] | (at[10] << 8));
            record.offset = static_cast<uint32_t>(at[11] | (at[12] << 8) | (at[13] << 16) | (static_cast<uint32_t>(at[14]) << 24));
            return record;
        }
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return std::nullopt;
}

}
