// SPDX-License-Identifier: GPL-3.0-or-later
// UnitSynthesiser: plays a unit string by joining recorded units into one 8-bit 11025 Hz wave.
#include "speech/unit_synthesiser.h"

#include "audio/wave_file.h"
#include "speech/letter_classes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace speech {

namespace {

constexpr size_t max_unit_length = 40;
constexpr size_t max_name_length = 12;
constexpr int hiss_samples = 300;

// The synthesiser's own classes: w and y are vowels and semivowels, and only
// small letters are consonants.
bool is_unit_vowel(char c) { return is_vowel(c) || c == 'w' || c == 'y'; }
bool is_unit_consonant(char c) { return std::string_view("bcdfgjklmnpqrstvxz").find(c) != std::string_view::npos && c != '\0'; }
bool is_semivowel(char c) { return c == 'w' || c == 'y'; }
bool is_nasal_mark(char c) { return c == '^' || c == '~'; }
bool is_stressed_vowel(char c) { return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U'; }

bool ends_with(std::string_view text, std::string_view suffix) { return text.ends_with(suffix); }

std::string upper_name(std::string_view name)
{
    std::string upper(name);
    for (char& c : upper)
        c = upper_ascii(c);
    return upper;
}

}

std::span<const uint8_t> letter_samples(std::span<const uint8_t> file)
{
    auto layout = audio::read_wave_layout(file);
    if (!layout)
        return {};
    layout->data_size &= 0xFFFF;
    return audio::wave_samples(file, *layout);
}

UnitSynthesiser::UnitSynthesiser(Sources sources, uint32_t noise_seed)
    : m_sources(std::move(sources))
    , m_buffer(sound_buffer_bytes)
    , m_noise(noise_seed ? noise_seed : 1)
{
}

void UnitSynthesiser::synthesise_phonemes(std::string_view units, bool silent_punctuation)
{
    m_position = wave_header_bytes;
    m_stress = 1;
    size_t index = 0;
    while (index < units.size()) {
        if (m_sources.key_waiting && m_sources.key_waiting()) {
            m_position = wave_header_bytes;
            return;
        }
        auto read = read_unit(units, index);
        if (!silent_punctuation && read.unit.size() == 2 && read.unit[0] == '_') {
            int silence = 0;
            switch (read.unit[1]) {
            case ',': silence = comma_silence; break;
            case '.': silence = full_stop_silence; break;
            case ':': silence = colon_silence; break;
            case ';': silence = semicolon_silence; break;
            }
            if (silence) {
                append_silence(silence);
                read.unit.clear();
            }
        }
        speak_unit(read.unit, 1.0);
        // A word ends with "]": the pause between words follows it.
        if (read.end == ']')
            append_silence(m_timing.word_gap);
    }
    flush();
}

UnitSynthesiser::ReadUnit UnitSynthesiser::read_unit(std::string_view units, size_t& index)
{
    ReadUnit read;
    if (index < units.size() && units[index] == '[') {
        m_stress = 1;
        ++index;
    }
    while (index < units.size()) {
        char c = units[index++];
        if (c == ' ' || c == ']') {
            read.end = c;
            break;
        }
        if (c == '/') {
            // Units are separated by blanks; "/" only splits a unit that has
            // grown too long to be a database name.
            if (read.unit.size() >= 9) {
                read.end = c;
                break;
            }
            continue;
        }
        if (c == '|') {
            read.unit = "_TRACO";
            continue;
        }
        if (read.unit.size() < max_unit_length)
            read.unit += c;
        if (c == '_' && index < units.size()) {
            char next = units[index++];
            if (read.unit.size() < max_unit_length)
                read.unit += next;
        }
    }
    return read;
}

void UnitSynthesiser::speak_unit(std::string_view u, double f)
{
    size_t n = u.size();
    if (n == 0)
        return;
    if (n == 1) {
        speak_name(u, f);
        return;
    }
    if (n > 2 && is_unit_consonant(u[0]) && is_unit_consonant(u[1]) && !u.starts_with("dj") && !u.starts_with("nh")
        && !u.starts_with("rr") && !u.starts_with("ks") && !u.starts_with("tch")) {
        speak_name(u.substr(0, 1), f);
        speak_unit(u.substr(1), f);
        return;
    }
    if (n > 2 && u.ends_with("rr")) {
        speak_unit(u.substr(0, n - 2), f);
        speak_name("rr", f);
        return;
    }
    if (n > 2 && is_unit_consonant(u[n - 1])) {
        speak_unit(u.substr(0, n - 1), f);
        speak_unit(u.substr(n - 1), f);
        return;
    }
    if (is_semivowel(u[n - 1])) {
        char before = u[n - 2];
        if (is_unit_vowel(before) && n > 2) {
            speak_unit(u.substr(0, n - 2), 0.6);
            speak_name(u.substr(n - 2), f);
            return;
        }
        if (is_nasal_mark(before) && n > 3) {
            // The nasal vowel keeps its mark ("nA~w": $NACIRC, then $AWTIL):
            // a nasal onset joins the glide far better than an oral one.
            std::string head(u.substr(0, n - 1));
            if (head.back() == '~')
                head.back() = '^';
            speak_unit(head, 0.6);
            std::string tail;
            tail += u[n - 3];
            tail += u[n - 1];
            tail += before;
            speak_name(tail, f);
            return;
        }
    }
    if (u.back() == 's' && u != "_s") {
        speak_unit(u.substr(0, n - 1), 0.7);
        speak_name("s", f);
        return;
    }
    speak_name(u, f);
}

void UnitSynthesiser::speak_name(std::string_view unit, double f)
{
    if (unit.empty())
        return;
    if (unit[0] == '_') {
        if (unit.size() < 2)
            return;
        look_up("_" + std::to_string(static_cast<unsigned char>(unit[1])), f);
        return;
    }
    std::string name = "$";
    bool stressed = false;
    auto close = [&](std::string_view ending) {
        look_up(name + std::string(ending), f);
        if (stressed)
            m_stress = 0;
        stressed = false;
        name = "$";
    };
    for (char c : unit) {
        if (c == '^') {
            close("CIRC");
            continue;
        }
        if (c == '~') {
            close("TIL");
            continue;
        }
        if (is_stressed_vowel(c)) {
            m_stress = 2;
            stressed = true;
        }
        if (name.size() < max_name_length)
            name += c;
    }
    if (name.size() > 1)
        close("");
}

void UnitSynthesiser::look_up(std::string_view name, double f)
{
    if (name.empty())
        return;
    if (name[0] == '_') {
        if (m_sources.read_letter) {
            auto file = m_sources.read_letter(name);
            auto samples = letter_samples(file);
            if (!samples.empty()) {
                append_bytes(samples);
                return;
            }
        }
    } else if (m_sources.index) {
        if (auto record = m_sources.index->find(upper_name(name))) {
            long count = record->samples;
            if (m_stress < 2 && name.size() > 2) {
                count = static_cast<long>(record->samples) - m_timing.unit_cut;
                if (count < m_timing.unit_keep)
                    count = std::min<long>(record->samples, m_timing.unit_keep);
            }
            long scaled = std::lround(f * static_cast<double>(std::max(0L, count)));
            append_unit_samples(record->offset, static_cast<size_t>(std::max(0L, scaled)));
            return;
        }
    }
    // Not found: fall back to shorter names, so that a missing unit is
    // still heard as something near it.
    size_t n = name.size();
    if (n <= 2) {
        append_noise(hiss_samples);
        return;
    }
    char last = name[n - 1];
    if (is_unit_vowel(lower_ascii(last))) {
        look_up(name.substr(0, n - 1), 0.9 * f);
        look_up("$" + std::string(1, last), f);
        return;
    }
    if (ends_with(name, "CIRC") && n >= 7) {
        look_up(name.substr(0, n - 5), 0.9 * f);
        look_up("$" + std::string(name.substr(n - 5)), f);
        return;
    }
    if (ends_with(name, "TIL")) {
        std::string base(name.substr(0, n - 3));
        char vowel = base.empty() ? '\0' : upper_ascii(base.back());
        if (vowel != 'I' && vowel != 'U') {
            int saved = m_stress;
            m_stress = 2;
            look_up(base + "CIRC", 0.9 * f);
            m_stress = saved;
        } else {
            look_up(base, 0.9 * f);
        }
        int saved = m_stress;
        m_stress = 1;
        look_up("$nn", 0.9);
        m_stress = saved;
    }
}

size_t UnitSynthesiser::make_room(size_t wanted)
{
    if (m_position + wanted >= sound_buffer_bytes)
        flush();
    // A piece longer than an empty buffer is cut to fit, never written past it.
    return std::min(wanted, sound_buffer_bytes - 1 - m_position);
}

void UnitSynthesiser::append_unit_samples(uint32_t offset, size_t count)
{
    if (count == 0 || !m_sources.samples)
        return;
    count = make_room(count);
    if (std::fseek(m_sources.samples, static_cast<long>(offset), SEEK_SET) != 0)
        return;
    size_t got = std::fread(m_buffer.data() + m_position, 1, count, m_sources.samples);
    m_position += got;
}

void UnitSynthesiser::append_bytes(std::span<const uint8_t> bytes)
{
    size_t count = make_room(bytes.size());
    std::memcpy(m_buffer.data() + m_position, bytes.data(), count);
    m_position += count;
}

void UnitSynthesiser::append_silence(int samples)
{
    for (int block = 0; block < samples / 100; ++block) {
        size_t count = make_room(100);
        std::memset(m_buffer.data() + m_position, 128, count);
        m_position += count;
    }
}

uint8_t UnitSynthesiser::next_noise()
{
    m_noise ^= m_noise << 13;
    m_noise ^= m_noise >> 17;
    m_noise ^= m_noise << 5;
    return static_cast<uint8_t>(88 + m_noise % 80);
}

void UnitSynthesiser::append_noise(int samples)
{
    size_t count = make_room(static_cast<size_t>(samples));
    for (size_t i = 0; i < count; ++i)
        m_buffer[m_position + i] = next_noise();
    m_position += count;
}

void UnitSynthesiser::flush()
{
    if (m_position <= wave_header_bytes)
        return;
    size_t data = m_position - wave_header_bytes;
    audio::write_wave_header(std::span<uint8_t, wave_header_bytes>(m_buffer.data(), wave_header_bytes), unit_format, data);
    m_position = wave_header_bytes;
    if (m_sources.play_image)
        m_sources.play_image(std::span<const uint8_t>(m_buffer.data(), wave_header_bytes + data));
}

}
