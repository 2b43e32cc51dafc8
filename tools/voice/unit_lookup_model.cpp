// SPDX-License-Identifier: GPL-3.0-or-later
// A compact model of the synthesiser's unit reading, splitting and lookup.
#include "unit_lookup_model.h"

#include <algorithm>
#include <cmath>

namespace voice {

namespace {

constexpr int hiss_samples = 300;
constexpr size_t longest_unit = 40;
constexpr size_t longest_name = 12;

bool is_synth_vowel(char c) { return std::string_view("AEIOUaeiouwy").find(c) != std::string_view::npos; }
bool is_synth_consonant(char c) { return std::string_view("bcdfgjklmnpqrstvxz").find(c) != std::string_view::npos; }
bool is_stressed_vowel(char c) { return std::string_view("AEIOU").find(c) != std::string_view::npos; }
bool is_semivowel(char c) { return c == 'w' || c == 'y'; }
bool is_nasal_mark(char c) { return c == '^' || c == '~'; }
bool ends_with(std::string_view text, std::string_view end) { return text.size() >= end.size() && text.substr(text.size() - end.size()) == end; }
bool starts_with(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

// Reads one unit from the front of the text; returns it and whether the
// character that ended it was the end of a word.
struct ReadUnit {
    std::string unit;
    bool word_end = false;
};

ReadUnit read_one_unit(std::string_view units, size_t& index)
{
    ReadUnit read;
    while (index < units.size()) {
        char c = units[index++];
        if (c == ' ')
            return read;
        if (c == ']') {
            read.word_end = true;
            return read;
        }
        if (c == '/') {
            if (read.unit.size() >= 9)
                return read;
            continue;
        }
        if (c == '_') {
            read.unit += c;
            if (index < units.size())
                read.unit += units[index++];
            continue;
        }
        if (c == '|') {
            read.unit = "_TRACO";
            continue;
        }
        if (read.unit.size() < longest_unit)
            read.unit += c;
    }
    return read;
}

}

std::string upper_name(std::string_view name)
{
    std::string upper(name);
    for (char& c : upper) {
        unsigned char code = static_cast<unsigned char>(c);
        if ((code >= 'a' && code <= 'z') || code >= 224)
            c = char(code - 32);
    }
    return upper;
}

std::vector<std::string> read_units(std::string_view units)
{
    std::vector<std::string> found;
    size_t index = 0;
    while (index < units.size()) {
        if (units[index] == '[') {
            ++index;
            continue;
        }
        ReadUnit read = read_one_unit(units, index);
        if (!read.unit.empty())
            found.push_back(read.unit);
    }
    return found;
}

UnitLookupModel::UnitLookupModel(SampleCountOf database, SampleCountOf letters, SpeedValues speed)
    : m_database(std::move(database))
    , m_letters(std::move(letters))
    , m_speed(speed)
{
}

void UnitLookupModel::emulate_sound(SamplesOf database, SamplesOf letters)
{
    m_database_sound = std::move(database);
    m_letter_sound = std::move(letters);
}

void UnitLookupModel::append_sound(std::span<const uint8_t> samples, long count)
{
    if (m_database_sound)
        m_sound.insert(m_sound.end(), samples.begin(), samples.begin() + std::min<long>(count, long(samples.size())));
}

void UnitLookupModel::append_silence(long count)
{
    if (m_database_sound)
        m_sound.insert(m_sound.end(), size_t(std::max(0L, count)), uint8_t(128));
}

void UnitLookupModel::reset()
{
    m_sound.clear();
    m_lookups.clear();
    m_hissed.clear();
    m_silent.clear();
    m_samples = 0;
}

void UnitLookupModel::synthesise(std::string_view units)
{
    size_t index = 0;
    m_stress = 1;
    while (index < units.size()) {
        if (units[index] == '[') {
            m_stress = 1;
            ++index;
        }
        ReadUnit read = read_one_unit(units, index);
        bool is_sign = read.unit.size() == 2 && read.unit[0] == '_' && std::string_view(",.:;").find(read.unit[1]) != std::string_view::npos;
        if (!is_sign)
            speak_unit(read.unit, 1.0);
        if (read.word_end) {
            m_samples += m_speed.between_words / 100 * 100;
            append_silence(m_speed.between_words / 100 * 100);
        }
    }
}

void UnitLookupModel::speak_unit(std::string_view u, double factor)
{
    if (u.empty())
        return;
    if (u.size() == 1) {
        speak_name(u, factor);
        return;
    }
    if (u.size() > 2 && is_synth_consonant(u[0]) && is_synth_consonant(u[1])
        && !starts_with(u, "dj") && !starts_with(u, "nh") && !starts_with(u, "rr")
        && !starts_with(u, "ks") && !starts_with(u, "tch")) {
        speak_name(u.substr(0, 1), factor);
        speak_unit(u.substr(1), factor);
        return;
    }
    if (u.size() > 2 && ends_with(u, "rr")) {
        speak_unit(u.substr(0, u.size() - 2), factor);
        speak_name("rr", factor);
        return;
    }
    if (u.size() > 2 && is_synth_consonant(u.back())) {
        speak_unit(u.substr(0, u.size() - 1), factor);
        speak_unit(u.substr(u.size() - 1), factor);
        return;
    }
    if (is_semivowel(u.back())) {
        char before = u[u.size() - 2];
        if (is_synth_vowel(before) && u.size() > 2) {
            speak_unit(u.substr(0, u.size() - 2), 0.6);
            speak_name(u.substr(u.size() - 2), factor);
            return;
        }
        if (is_nasal_mark(before) && u.size() > 3) {
            std::string head(u.substr(0, u.size() - 1));
            head.back() = '^';
            speak_unit(head, 0.6);
            std::string tail { u[u.size() - 3], u.back(), before };
            speak_name(tail, factor);
            return;
        }
    }
    if (u.back() == 's' && u != "_s") {
        speak_unit(u.substr(0, u.size() - 1), 0.7);
        speak_name("s", factor);
        return;
    }
    speak_name(u, factor);
}

void UnitLookupModel::speak_name(std::string_view unit, double factor)
{
    if (unit.empty())
        return;
    if (unit[0] == '_') {
        std::string name = "_" + std::to_string(unit.size() > 1 ? static_cast<unsigned char>(unit[1]) : 0);
        m_lookups.push_back({ name, false });
        auto count = m_letters(name);
        m_lookups.back().found = count.has_value();
        if (count) {
            m_samples += *count;
            if (m_letter_sound)
                append_sound(m_letter_sound(name), *count);
        }
        return;
    }
    std::string name = "$";
    bool stressed = false;
    auto close = [&](std::string_view suffix) {
        name += suffix;
        size_t first = m_lookups.size();
        m_lookups.push_back({ upper_name(name), false });
        look_up(name, factor, 0);
        m_lookups[first].found = m_database(upper_name(name)).has_value();
        if (stressed)
            m_stress = 0;
        stressed = false;
        name = "$";
    };
    for (char c : unit) {
        if (is_stressed_vowel(c)) {
            m_stress = 2;
            stressed = true;
        }
        if (c == '^') {
            close("CIRC");
        } else if (c == '~') {
            close("TIL");
        } else if (name.size() < longest_name) {
            name += c;
        }
    }
    if (name.size() > 1)
        close("");
}

void UnitLookupModel::look_up(const std::string& raw_name, double factor, int depth)
{
    std::string name = upper_name(raw_name);
    if (auto count = m_database(name)) {
        int c = *count;
        if (m_stress < 2 && name.size() > 2) {
            c = *count - m_speed.cut;
            if (c < m_speed.keep)
                c = std::min(*count, m_speed.keep);
        }
        long scaled = std::lround(factor * std::max(0, c));
        m_samples += scaled;
        if (m_database_sound)
            append_sound(m_database_sound(name), scaled);
        return;
    }
    if (depth > 8) {
        m_silent.push_back(name);
        return;
    }
    if (name.size() <= 2) {
        m_hissed.push_back(name);
        m_samples += hiss_samples;
        if (m_database_sound) {
            for (int i = 0; i < hiss_samples; ++i) {
                m_noise = m_noise * 1664525u + 1013904223u;
                m_sound.push_back(uint8_t(88 + (m_noise >> 24) % 80));
            }
        }
        return;
    }
    char last = raw_name.back();
    if (is_synth_vowel(last) || is_synth_vowel(name.back())) {
        look_up(name.substr(0, name.size() - 1), 0.9 * factor, depth + 1);
        look_up(std::string("$") + name.back(), factor, depth + 1);
        return;
    }
    if (ends_with(name, "CIRC") && name.size() >= 7) {
        look_up(name.substr(0, name.size() - 5), 0.9 * factor, depth + 1);
        look_up("$" + name.substr(name.size() - 5), factor, depth + 1);
        return;
    }
    if (ends_with(name, "TIL")) {
        std::string vowel = name.substr(0, name.size() - 3);
        if (!vowel.empty() && vowel.back() != 'I' && vowel.back() != 'U') {
            int saved = m_stress;
            m_stress = 2;
            look_up(vowel + "CIRC", 0.9 * factor, depth + 1);
            m_stress = saved;
        } else {
            look_up(vowel, 0.9 * factor, depth + 1);
        }
        int saved = m_stress;
        m_stress = 1;
        look_up("$NN", 0.9, depth + 1);
        m_stress = saved;
        return;
    }
    m_silent.push_back(name);
}

}
