// SPDX-License-Identifier: GPL-3.0-or-later
// Reading, checking and writing the diphone database file.
//
// Layout, little-endian: the magic "CVDIPHON", version, sample rate,
// natural pitch, diphone count, payload size and the payload's 64-bit
// FNV-1a checksum; then the description (u16 length and bytes); then per
// diphone: two names (u8 length and bytes), start, boundary, end, sample
// count, mark count, the marks (u32, top bit set when voiced) and the
// samples (i16). Nothing in the file is trusted: every count and position
// is checked before use, and a file that does not add up is refused.
#include "diphone_database.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace diphone {

namespace {

constexpr char magic[8] = { 'C', 'V', 'D', 'I', 'P', 'H', 'O', 'N' };
constexpr uint32_t format_version = 1;
constexpr size_t header_size = 8 + 4 * 5 + 8;
constexpr uint32_t voiced_bit = 0x80000000u;
// A database larger than this is not one of ours.
constexpr uint64_t max_file_size = 64u * 1024 * 1024;

uint64_t fnv1a(std::span<const uint8_t> bytes)
{
    uint64_t hash = 1469598103934665603ull;
    for (uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

void put_u32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

void put_name(std::vector<uint8_t>& out, const std::string& name)
{
    out.push_back(uint8_t(name.size()));
    out.insert(out.end(), name.begin(), name.end());
}

class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes)
        : m_bytes(bytes)
    {
    }
    bool u8(uint8_t& value)
    {
        if (m_at + 1 > m_bytes.size())
            return false;
        value = m_bytes[m_at++];
        return true;
    }
    bool u16(uint16_t& value)
    {
        if (m_at + 2 > m_bytes.size())
            return false;
        value = uint16_t(m_bytes[m_at] | (m_bytes[m_at + 1] << 8));
        m_at += 2;
        return true;
    }
    bool u32(uint32_t& value)
    {
        if (m_at + 4 > m_bytes.size())
            return false;
        value = 0;
        for (int i = 0; i < 4; ++i)
            value |= uint32_t(m_bytes[m_at + size_t(i)]) << (8 * i);
        m_at += 4;
        return true;
    }
    bool text(size_t length, std::string& value)
    {
        if (length > m_bytes.size() - m_at)
            return false;
        value.assign(reinterpret_cast<const char*>(m_bytes.data() + m_at), length);
        m_at += length;
        return true;
    }
    bool name(std::string& value)
    {
        uint8_t length = 0;
        return u8(length) && text(length, value);
    }
    bool samples(size_t count, std::vector<int16_t>& value)
    {
        if (count > (m_bytes.size() - m_at) / 2)
            return false;
        value.resize(count);
        for (size_t i = 0; i < count; ++i)
            value[i] = int16_t(uint16_t(m_bytes[m_at + 2 * i] | (m_bytes[m_at + 2 * i + 1] << 8)));
        m_at += 2 * count;
        return true;
    }
    bool at_end() const { return m_at == m_bytes.size(); }

private:
    std::span<const uint8_t> m_bytes;
    size_t m_at = 0;
};

}

bool is_phoneme_name(std::string_view name)
{
    if (name.empty() || name.size() > max_name_length)
        return false;
    for (char c : name) {
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && c != '2' && c != '@' && c != '_')
            return false;
    }
    return true;
}

std::string check_diphone(const Diphone& diphone)
{
    if (!is_phoneme_name(diphone.left) || !is_phoneme_name(diphone.right))
        return "bad phoneme name";
    if (diphone.samples.size() > max_diphone_samples)
        return "diphone too long";
    if (!(diphone.start <= diphone.boundary && diphone.boundary <= diphone.end
            && diphone.end <= diphone.samples.size()))
        return "cut points out of order";
    if (diphone.marks.size() > diphone.samples.size())
        return "more pitch marks than samples";
    for (size_t i = 0; i < diphone.marks.size(); ++i) {
        if (diphone.marks[i].position >= diphone.samples.size())
            return "pitch mark outside the diphone";
        if (i > 0 && diphone.marks[i].position <= diphone.marks[i - 1].position)
            return "pitch marks out of order";
    }
    return {};
}

bool DiphoneDatabase::add(Diphone diphone)
{
    if (!check_diphone(diphone).empty())
        return false;
    auto key = std::make_pair(diphone.left, diphone.right);
    if (!m_diphones.contains(key)) {
        ++m_phoneme_uses[diphone.left];
        ++m_phoneme_uses[diphone.right];
    }
    m_diphones[key] = std::move(diphone);
    return true;
}

const Diphone* DiphoneDatabase::find(std::string_view left, std::string_view right) const
{
    auto found = m_diphones.find(std::make_pair(std::string(left), std::string(right)));
    return found == m_diphones.end() ? nullptr : &found->second;
}

bool DiphoneDatabase::has_phoneme(std::string_view name) const
{
    return m_phoneme_uses.find(name) != m_phoneme_uses.end();
}

std::vector<uint8_t> DiphoneDatabase::serialise() const
{
    std::vector<uint8_t> payload;
    std::string description = m_description.substr(0, 0xffff);
    payload.push_back(uint8_t(description.size()));
    payload.push_back(uint8_t(description.size() >> 8));
    payload.insert(payload.end(), description.begin(), description.end());
    for (const auto& [key, diphone] : m_diphones) {
        put_name(payload, diphone.left);
        put_name(payload, diphone.right);
        put_u32(payload, diphone.start);
        put_u32(payload, diphone.boundary);
        put_u32(payload, diphone.end);
        put_u32(payload, uint32_t(diphone.samples.size()));
        put_u32(payload, uint32_t(diphone.marks.size()));
        for (const PitchMark& mark : diphone.marks)
            put_u32(payload, mark.position | (mark.voiced ? voiced_bit : 0));
        for (int16_t sample : diphone.samples) {
            payload.push_back(uint8_t(uint16_t(sample)));
            payload.push_back(uint8_t(uint16_t(sample) >> 8));
        }
    }
    std::vector<uint8_t> out(std::begin(magic), std::end(magic));
    put_u32(out, format_version);
    put_u32(out, database_rate);
    put_u32(out, m_natural_pitch);
    put_u32(out, uint32_t(m_diphones.size()));
    put_u32(out, uint32_t(payload.size()));
    uint64_t checksum = fnv1a(payload);
    put_u32(out, uint32_t(checksum));
    put_u32(out, uint32_t(checksum >> 32));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

std::optional<DiphoneDatabase> DiphoneDatabase::parse(std::span<const uint8_t> bytes, std::string& error)
{
    if (bytes.size() < header_size || std::memcmp(bytes.data(), magic, sizeof magic) != 0) {
        error = "not a diphone database";
        return std::nullopt;
    }
    Reader header(bytes.subspan(sizeof magic, header_size - sizeof magic));
    uint32_t version = 0, rate = 0, pitch = 0, count = 0, payload_size = 0, sum_low = 0, sum_high = 0;
    header.u32(version);
    header.u32(rate);
    header.u32(pitch);
    header.u32(count);
    header.u32(payload_size);
    header.u32(sum_low);
    header.u32(sum_high);
    if (version != format_version || rate != database_rate) {
        error = "unsupported database version or sample rate";
        return std::nullopt;
    }
    std::span<const uint8_t> payload = bytes.subspan(header_size);
    if (payload.size() != payload_size) {
        error = "database truncated";
        return std::nullopt;
    }
    if (fnv1a(payload) != (uint64_t(sum_high) << 32 | sum_low)) {
        error = "database damaged (checksum)";
        return std::nullopt;
    }
    if (pitch < 40 || pitch > 800) {
        error = "implausible natural pitch";
        return std::nullopt;
    }
    DiphoneDatabase database;
    database.m_natural_pitch = pitch;
    Reader reader(payload);
    uint16_t description_length = 0;
    if (!reader.u16(description_length) || !reader.text(description_length, database.m_description)) {
        error = "database truncated";
        return std::nullopt;
    }
    for (uint32_t i = 0; i < count; ++i) {
        Diphone diphone;
        uint32_t sample_count = 0, mark_count = 0;
        if (!reader.name(diphone.left) || !reader.name(diphone.right) || !reader.u32(diphone.start)
            || !reader.u32(diphone.boundary) || !reader.u32(diphone.end) || !reader.u32(sample_count)
            || !reader.u32(mark_count)) {
            error = "database truncated";
            return std::nullopt;
        }
        if (sample_count > max_diphone_samples || mark_count > sample_count) {
            error = "diphone " + std::to_string(i) + " has impossible sizes";
            return std::nullopt;
        }
        diphone.marks.resize(mark_count);
        for (PitchMark& mark : diphone.marks) {
            uint32_t word = 0;
            if (!reader.u32(word)) {
                error = "database truncated";
                return std::nullopt;
            }
            mark.position = word & ~voiced_bit;
            mark.voiced = (word & voiced_bit) != 0;
        }
        if (!reader.samples(sample_count, diphone.samples)) {
            error = "database truncated";
            return std::nullopt;
        }
        std::string problem = check_diphone(diphone);
        if (!problem.empty()) {
            error = "diphone " + std::to_string(i) + ": " + problem;
            return std::nullopt;
        }
        if (database.find(diphone.left, diphone.right)) {
            error = "diphone " + diphone.left + "-" + diphone.right + " appears twice";
            return std::nullopt;
        }
        database.add(std::move(diphone));
    }
    if (!reader.at_end()) {
        error = "extra bytes after the last diphone";
        return std::nullopt;
    }
    return database;
}

std::optional<DiphoneDatabase> DiphoneDatabase::load(const std::string& path, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    file.seekg(0, std::ios::end);
    std::streamoff length = file.tellg();
    if (length < 0 || uint64_t(length) > max_file_size) {
        error = "database file of impossible size";
        return std::nullopt;
    }
    file.seekg(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), length)) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    return parse(bytes, error);
}

}
