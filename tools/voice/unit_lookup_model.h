// SPDX-License-Identifier: GPL-3.0-or-later
// A compact model of how the built-in synthesiser reads a unit string, splits
// units and turns them into database names, with the fallbacks it takes when
// a name is missing. It counts samples instead of playing them.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace voice {

// What the model needs of a database: the sample count of a name (upper
// case, "$" first), or nothing when the index lacks it.
using SampleCountOf = std::function<std::optional<int>(std::string_view name)>;

// The per-speed values that change how long a unit sounds.
struct SpeedValues {
    int cut = 0;         // CORTEFON
    int keep = 0;        // SOBRAFON
    int between_words = 0; // INTERPAL
};

// One name the synthesiser looked up, and how it ended.
struct NameLookup {
    std::string name;
    bool found = false;
};

// The samples of a unit or a letter recording, for the emulated synthesiser.
using SamplesOf = std::function<std::span<const uint8_t>(std::string_view name)>;

class UnitLookupModel {
public:
    UnitLookupModel(SampleCountOf database, SampleCountOf letters, SpeedValues speed);

    // With sample sources the model also builds the sound the synthesiser
    // would play (8-bit, 11025 Hz): an emulation for measuring the voice
    // while no engine is at hand.
    void emulate_sound(SamplesOf database, SamplesOf letters);
    const std::vector<uint8_t>& sound() const { return m_sound; }

    // Plays a whole unit string (the translator's output) in the model.
    void synthesise(std::string_view units);

    // Every name asked for first (before any fallback), in order.
    const std::vector<NameLookup>& lookups() const { return m_lookups; }
    // Names whose fallback ended in the hiss of a short missing name, or in
    // nothing at all.
    const std::vector<std::string>& hissed() const { return m_hissed; }
    const std::vector<std::string>& silent() const { return m_silent; }
    long long samples() const { return m_samples; }
    void reset();

private:
    void speak_unit(std::string_view unit, double factor);
    void speak_name(std::string_view unit, double factor);
    void look_up(const std::string& name, double factor, int depth);

    void append_sound(std::span<const uint8_t> samples, long count);
    void append_silence(long count);

    SampleCountOf m_database;
    SamplesOf m_database_sound;
    SamplesOf m_letter_sound;
    std::vector<uint8_t> m_sound;
    uint32_t m_noise = 0x2545F491;
    SampleCountOf m_letters;
    SpeedValues m_speed;
    int m_stress = 1;
    long long m_samples = 0;
    std::vector<NameLookup> m_lookups;
    std::vector<std::string> m_hissed;
    std::vector<std::string> m_silent;
};

// The units of a unit string as the synthesiser reads them (for tests).
std::vector<std::string> read_units(std::string_view units);

// The upper-cased form of a name as the index stores it.
std::string upper_name(std::string_view name);

}
