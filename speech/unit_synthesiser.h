// SPDX-License-Identifier: GPL-3.0-or-later
// UnitSynthesiser: plays a unit string by joining recorded units into one 8-bit 11025 Hz wave.
#pragma once

#include "audio/wave_file.h"
#include "speech/unit_index.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace speech {

constexpr size_t sound_buffer_bytes = 64000;
using audio::wave_header_bytes;
constexpr int unit_rate = 11025;
// Units, letters and number words are recorded in this one format.
constexpr platform::PcmFormat unit_format { unit_rate, 8, 1 };

// Silences of the signs, in samples.
constexpr int full_stop_silence = 8000;
constexpr int comma_silence = 4000;
constexpr int semicolon_silence = 6000;
constexpr int colon_silence = 8000;

// The per-speed values that shape the units, in samples.
struct UnitTiming {
    int unit_cut = 400; // trimmed from the end of an unstressed unit
    int unit_keep = 0; // fewest samples an unstressed unit keeps
    int word_gap = 100; // silence after each word, in whole hundreds
};

class UnitSynthesiser {
public:
    // Where samples come from and where a full buffer goes. `play_image`
    // plays a wave image and returns when it has been heard (or a key cut
    // it); `read_letter` gives the samples of a letter recording
    // ("_65"), or nothing when it is missing.
    struct Sources {
        const UnitIndex* index = nullptr;
        std::FILE* samples = nullptr;
        std::function<std::vector<uint8_t>(std::string_view name)> read_letter;
        std::function<void(std::span<const uint8_t> image)> play_image;
        std::function<bool()> key_waiting;
    };

    explicit UnitSynthesiser(Sources sources, uint32_t noise_seed = 0x2545F491);

    void set_timing(UnitTiming timing) { m_timing = timing; }
    const UnitTiming& timing() const { return m_timing; }

    // Speaks a unit string; with `silent_punctuation` the signs' units are
    // played as letters instead of silences.
    void synthesise_phonemes(std::string_view units, bool silent_punctuation);

    // The steps below are public for the tests; synthesise_phonemes runs them.
    struct ReadUnit {
        std::string unit;
        char end = '\0'; // the character that ended it ('\0': the text ended)
    };
    ReadUnit read_unit(std::string_view units, size_t& index);
    void speak_unit(std::string_view unit, double factor);
    void speak_name(std::string_view name, double factor);
    void look_up(std::string_view name, double factor);
    void append_silence(int samples);
    void flush();

    int stress_state() const { return m_stress; }
    void set_stress_state(int state) { m_stress = state; }

private:
    void append_unit_samples(uint32_t offset, size_t count);
    void append_bytes(std::span<const uint8_t> bytes);
    void append_noise(int samples);
    size_t make_room(size_t wanted);
    uint8_t next_noise();

    Sources m_sources;
    UnitTiming m_timing;
    std::vector<uint8_t> m_buffer;
    size_t m_position = wave_header_bytes;
    int m_stress = 1;
    uint32_t m_noise;
};

// The data chunk of a RIFF wave file's bytes ("fmt " first, then chunks to
// "data"; its size is taken as 16 bits, as the recordings are short).
std::span<const uint8_t> letter_samples(std::span<const uint8_t> file);

}
