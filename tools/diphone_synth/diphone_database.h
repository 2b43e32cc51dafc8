// SPDX-License-Identifier: GPL-3.0-or-later
// The diphone database: one file of 16-bit diphones at 16,000 samples per
// second, each cut from the middle of one phoneme to the middle of the
// next, with its pitch marks.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace diphone {

constexpr int database_rate = 16000;
// Longest diphone kept, margins included: two seconds.
constexpr uint32_t max_diphone_samples = 2 * database_rate;
constexpr size_t max_name_length = 7;

struct PitchMark {
    uint32_t position = 0;
    bool voiced = false;
};

// samples[start, boundary) is the end of the left phoneme, from its middle;
// samples[boundary, end) the start of the right one, up to its middle. The
// samples outside [start, end) are margins that grains near the cuts read.
struct Diphone {
    std::string left;
    std::string right;
    std::vector<int16_t> samples;
    uint32_t start = 0;
    uint32_t boundary = 0;
    uint32_t end = 0;
    std::vector<PitchMark> marks; // increasing positions inside samples
};

// A phoneme name: a run of letters, digits "2", "@" and "_".
bool is_phoneme_name(std::string_view name);

class DiphoneDatabase {
public:
    // Reads and checks a whole file; nullopt with a reason when it is
    // missing, truncated, damaged or inconsistent.
    static std::optional<DiphoneDatabase> load(const std::string& path, std::string& error);
    static std::optional<DiphoneDatabase> parse(std::span<const uint8_t> bytes, std::string& error);
    std::vector<uint8_t> serialise() const;

    // Replaces a diphone of the same pair; false when it is not valid.
    bool add(Diphone diphone);
    const Diphone* find(std::string_view left, std::string_view right) const;
    bool has_phoneme(std::string_view name) const;
    size_t size() const { return m_diphones.size(); }
    const std::map<std::pair<std::string, std::string>, Diphone>& diphones() const { return m_diphones; }

    // The pitch the voice was recorded at, used where the input gives none.
    uint32_t natural_pitch() const { return m_natural_pitch; }
    void set_natural_pitch(uint32_t hz) { m_natural_pitch = hz; }
    const std::string& description() const { return m_description; }
    void set_description(std::string text) { m_description = std::move(text); }

private:
    std::map<std::pair<std::string, std::string>, Diphone> m_diphones;
    std::map<std::string, size_t, std::less<>> m_phoneme_uses;
    uint32_t m_natural_pitch = 120;
    std::string m_description;
};

// Why a diphone cannot be stored, or empty when it can.
std::string check_diphone(const Diphone& diphone);

}
