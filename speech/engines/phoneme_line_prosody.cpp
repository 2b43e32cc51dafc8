// SPDX-License-Identifier: GPL-3.0-or-later
// The phoneme-line voice's prosody: phrases, pitch specifications, durations and the diphone check.
#include "speech/engines/phoneme_line_prosody.h"

#include "base/script_case.h"
#include "speech/engines/phoneme_line_normaliser.h"
#include "speech/engines/phoneme_line_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace speech {

namespace {

constexpr std::string_view wrong_phoneme = "Configura\xE7\xE3o da pros\xF3" "dia: fonema errado: ";
constexpr std::string_view wrong_key = "Configura\xE7\xE3o da pros\xF3" "dia: chave errada: ";
constexpr char stress_mark = '>';
constexpr char unstress_mark = '\xA8'; // "¨"
constexpr int stressed_percent = 145;


std::optional<int> whole_number(std::string_view text)
{
    text = trim_line(text);
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The lines of a section, from the line after its title up to the next
// title; nothing when the title is missing.
std::optional<std::vector<std::string_view>> section(const std::vector<std::string_view>& lines, std::string_view title)
{
    size_t i = 0;
    while (i < lines.size() && trim_line(lines[i]) != title)
        ++i;
    if (i == lines.size())
        return std::nullopt;
    std::vector<std::string_view> body;
    for (++i; i < lines.size(); ++i) {
        auto line = trim_line(lines[i]);
        if (!line.empty() && line[0] == '[')
            break;
        if (line.empty() || line[0] == '*' || line[0] == ';')
            continue;
        body.push_back(line);
    }
    return body;
}

bool is_name_character(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '2' || c == '@' || c == '_';
}

std::string diphone_key(std::string_view first, std::string_view second)
{
    std::string key(first);
    key += '-';
    key += second;
    return key;
}

}

void PhonemeLineProsody::clear()
{
    m_durations.clear();
    m_keys.clear();
    m_base_pitch = 230;
    m_pitch_table = {};
    m_specifications.clear();
    m_diphones.clear();
    m_warnings.clear();
}

base::Result<void> PhonemeLineProsody::load_prosody(std::string_view file_text)
{
    m_durations.clear();
    m_keys.clear();
    m_specifications.clear();
    m_warnings.clear();
    auto lines = split_lines(file_text);

    auto durations = section(lines, "[DURA\xC7\xC3O]");
    if (!durations)
        return base::Error { "Dura\xE7\xE3o dos difones errada ou ausente" };
    for (auto line : *durations) {
        size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return base::Error { std::string(wrong_phoneme) + std::string(line) };
        Duration duration { std::string(trim_line(line.substr(0, equals)).substr(0, 2)), 100 };
        if (auto value = whole_number(line.substr(equals + 1)); value && *value >= 0)
            duration.milliseconds = *value;
        else
            m_warnings.push_back(std::string(wrong_phoneme) + std::string(line));
        m_durations.push_back(std::move(duration));
    }

    auto keys = section(lines, "[CHAVES]");
    if (!keys)
        return base::Error { "Pros\xF3" "dia: palavras chaves ausentes" };
    for (auto line : *keys) {
        size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return base::Error { std::string(wrong_key) + std::string(line) };
        m_keys.push_back({ base::upper_text(trim_line(line.substr(0, equals))), base::upper_text(trim_line(line.substr(equals + 1)).substr(0, 2)) });
    }
    std::stable_sort(m_keys.begin(), m_keys.end(), [](const Key& a, const Key& b) { return a.word < b.word; });

    auto specifications = section(lines, "[PROS\xD3" "DIA]");
    if (!specifications)
        return base::Error { "Pros\xF3" "dia: especifica\xE7\xF5" "es ausentes" };
    for (auto raw : *specifications) {
        std::string line = base::upper_text(raw);
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            return base::Error { std::string(wrong_key) + std::string(raw) };
        std::string_view name = trim_line(std::string_view(line).substr(0, equals));
        std::string_view value = trim_line(std::string_view(line).substr(equals + 1));
        if (name == "HERTZ") {
            if (auto hertz = whole_number(value); hertz && *hertz > 0)
                m_base_pitch = *hertz;
            continue;
        }
        if (name == "TABHERTZ") {
            m_pitch_table = {};
            size_t index = 0;
            size_t start = 0;
            while (index < m_pitch_table.size() && start <= value.size()) {
                size_t comma = value.find(',', start);
                if (comma == std::string_view::npos)
                    comma = value.size();
                m_pitch_table[index++] = std::max(0, whole_number(value.substr(start, comma - start)).value_or(0));
                start = comma + 1;
            }
            continue;
        }
        PitchSpecification entry;
        size_t start = 0;
        for (size_t code = 0; code < 3 && start <= name.size(); ++code) {
            size_t bar = name.find('|', start);
            if (bar == std::string_view::npos)
                bar = name.size();
            entry.codes[code] = std::string(trim_line(name.substr(start, bar - start)).substr(0, 3));
            start = bar + 1;
        }
        entry.specification = std::string(value.substr(0, 3));
        m_specifications.push_back(std::move(entry));
    }
    return {};
}

void PhonemeLineProsody::load_definitions(std::string_view file_text)
{
    m_diphones.clear();
    for (auto line : split_lines(file_text)) {
        line = trim_line(line);
        if (line.empty() || line[0] == '!' || line[0] == '*' || line[0] == ';')
            continue;
        std::array<std::string_view, 2> names;
        size_t found = 0;
        size_t i = 0;
        while (found < 2 && i < line.size()) {
            while (i < line.size() && !is_name_character(line[i]))
                ++i;
            size_t begin = i;
            while (i < line.size() && is_name_character(line[i]))
                ++i;
            if (i > begin)
                names[found++] = line.substr(begin, i - begin);
        }
        if (found == 2)
            m_diphones.push_back(diphone_key(names[0], names[1]));
    }
    std::sort(m_diphones.begin(), m_diphones.end());
}

int PhonemeLineProsody::duration_of(std::string_view phoneme) const
{
    for (const auto& duration : m_durations) {
        if (duration.phoneme == phoneme)
            return duration.milliseconds;
    }
    return 100;
}

bool PhonemeLineProsody::has_diphone(std::string_view first, std::string_view second) const
{
    return std::binary_search(m_diphones.begin(), m_diphones.end(), diphone_key(first, second));
}

std::string PhonemeLineProsody::code_of(std::string_view word) const
{
    std::string key = base::upper_text(word);
    auto found = std::lower_bound(m_keys.begin(), m_keys.end(), key, [](const Key& entry, const std::string& wanted) { return entry.word < wanted; });
    if (found != m_keys.end() && found->word == key)
        return found->code;
    return "XX";
}

std::vector<std::string> PhonemeLineProsody::phrase_lines(std::string_view text) const
{
    std::vector<std::string> lines { "[--]" };
    size_t position = 0;
    while (position < text.size()) {
        char c = text[position];
        if (c == ' ') {
            ++position;
            continue;
        }
        if (c == '.' && position + 1 < text.size() && text[position + 1] == '.') {
            size_t end = text.find_first_not_of('.', position);
            if (end == std::string_view::npos)
                end = text.size();
            lines.push_back("[.-]" + std::string(text.substr(position, end - position)));
            position = end;
            lines.emplace_back("[--]");
            continue;
        }
        if (!is_word_letter(static_cast<uint8_t>(c))) {
            lines.push_back(std::string("[") + c + c + "]" + c);
            ++position;
            if (c == '!' || c == '.' || c == '?')
                lines.emplace_back("[--]");
            continue;
        }
        size_t end = position;
        while (end < text.size() && is_word_letter(static_cast<uint8_t>(text[end])))
            ++end;
        auto word = text.substr(position, end - position);
        lines.push_back("[" + code_of(word) + "]" + std::string(word));
        position = end;
    }
    return lines;
}

std::vector<std::string> PhonemeLineProsody::specify(const std::vector<std::string>& lines) const
{
    auto code = [&](size_t index) -> std::string_view {
        if (index >= lines.size() || lines[index].size() < 3)
            return {};
        return std::string_view(lines[index]).substr(1, 2);
    };
    std::vector<std::string> output;
    char previous_end = '5';
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view previous = i > 0 ? code(i - 1) : std::string_view();
        std::string_view current = code(i);
        std::string_view next = code(i + 1);
        std::string specification = "555";
        for (const auto& entry : m_specifications) {
            if ((entry.codes[0].empty() || entry.codes[0] == previous) && (entry.codes[1].empty() || entry.codes[1] == current)
                && (entry.codes[2].empty() || entry.codes[2] == next)) {
                specification = entry.specification;
                break;
            }
        }
        specification.resize(3, '5');
        if (specification[0] == '?')
            specification[0] = previous_end;
        previous_end = specification[2];
        output.push_back(specification + "|" + (lines[i].size() > 4 ? lines[i].substr(4) : std::string()));
    }
    return output;
}

std::vector<std::string> PhonemeLineProsody::run(const std::vector<std::string>& phoneme_lines, double duration_factor, double pitch_factor) const
{
    enum class PitchState { StartOfWord, InWord, AfterStress };
    std::vector<std::string> output;
    std::string previous = "_";
    int percent = 100;
    std::string specification = "555";
    size_t word_length = 0;
    PitchState pitch = PitchState::InWord;
    bool stress_reached = false;

    auto pitch_value = [&](char digit) {
        if (digit < '0' || digit > '9')
            return 0;
        return m_pitch_table[static_cast<size_t>(digit - '0')];
    };
    for (size_t i = 0; i < phoneme_lines.size(); ++i) {
        std::string_view line = phoneme_lines[i];
        if (line.empty()) {
            percent = 100;
            previous.clear();
            output.emplace_back();
            continue;
        }
        if (line[0] == ';') {
            if (line.size() >= 5 && line[4] == '|') {
                specification = std::string(line.substr(1, 3));
                auto word = line.substr(5);
                word_length = word.size() + 1;
                pitch = PitchState::StartOfWord;
                stress_reached = false;
                output.push_back(";" + std::string(word));
            } else {
                output.emplace_back(line);
            }
            continue;
        }
        bool stressed = false;
        if (line[0] == stress_mark) {
            stressed = true;
            stress_reached = true;
            percent = stressed_percent;
            line.remove_prefix(1);
            if (!line.empty() && line[0] == unstress_mark)
                line.remove_prefix(1);
        } else if (line[0] == unstress_mark) {
            percent = 100;
            line.remove_prefix(1);
        }
        std::string name;
        int duration = 100;
        if (!line.empty() && line[0] == '_') {
            name = "_";
            if (line == "_")
                duration = 100;
            else if (line[1] == ' ')
                duration = whole_number(line.substr(2)).value_or(100);
            else
                duration = duration_of(line);
        } else {
            auto space = line.find(' ');
            name = std::string(line.substr(0, space));
            duration = duration_of(name);
            if (!stressed && !stress_reached) {
                if (word_length > 13)
                    duration = duration * 80 / 100;
                else if (word_length > 9)
                    duration = duration * 90 / 100;
            }
        }
        if (name.empty())
            continue;
        long long milliseconds = std::llround(static_cast<double>(duration) * percent * duration_factor) / 100;
        std::string text = name + " " + std::to_string(std::max(0LL, milliseconds));

        int last_percent = -1;
        auto add_point = [&](int at, char digit) {
            int value = pitch_value(digit);
            if (value == 0)
                return;
            // Points must rise along the phoneme; a last point that would
            // come before one already placed goes to the phoneme's end.
            if (at <= last_percent)
                at = 100;
            last_percent = at;
            long long hertz = std::llround(value * pitch_factor * m_base_pitch) / 100;
            text += " " + std::to_string(at) + " " + std::to_string(hertz);
        };
        if (pitch == PitchState::StartOfWord) {
            add_point(50, specification[0]);
            pitch = PitchState::InWord;
        }
        if (stressed) {
            add_point(80, specification[1]);
            pitch = PitchState::AfterStress;
        }
        bool last_of_word = i + 1 == phoneme_lines.size() || phoneme_lines[i + 1].empty();
        if (last_of_word && pitch == PitchState::AfterStress)
            add_point(50, specification[2]);

        if (!previous.empty() && !has_diphone(previous, name)) {
            if (previous == "r2" && has_diphone("r2", "_"))
                output.emplace_back("_ 50");
            else if (has_diphone(previous, "y"))
                output.emplace_back("y 50");
            else
                output.emplace_back("_ 50");
        }
        previous = name;
        output.push_back(std::move(text));
    }
    return output;
}

}
