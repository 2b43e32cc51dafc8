// SPDX-License-Identifier: GPL-3.0-or-later
// Recorded words: the sound names of number words, and the calendar's tables.
#include "speech/recorded_words.h"

#include "platform/path_map.h"
#include "speech/builtin_synthesiser.h"
#include "speech/number_words.h"
#include "speech/speech_client.h"

#include <algorithm>
#include <array>

namespace speech {

namespace {

constexpr std::array<std::string_view, 7> weekdays = { "Domingo", "Segunda", "Terca", "Quarta", "Quinta", "Sexta", "Sabado" };
constexpr std::array<std::string_view, 12> months = { "Janeiro", "Fevereiro", "Marco", "Abril", "Maio", "Junho", "Julho",
    "Agosto", "Setembro", "Outubro", "Novembro", "Dezembro" };
constexpr size_t sound_name_length = 8;

std::string words_entry(uint64_t number)
{
    return "#" + number_to_words(number);
}

}

std::vector<std::string> number_sound_names(std::string_view words, Gender gender)
{
    std::vector<std::string> names;
    size_t start = 0;
    while (start < words.size()) {
        size_t end = words.find(' ', start);
        if (end == std::string_view::npos)
            end = words.size();
        std::string word(words.substr(start, end - start));
        start = end + 1;
        if (word.empty())
            continue;
        for (char& c : word) {
            if (c == '\xE3')
                c = 'a';
            else if (c == '\xF5')
                c = 'o';
        }
        if (word == "dezessete")
            word = "dezeset";
        names.push_back(("_" + word).substr(0, sound_name_length));
    }
    if (gender == Gender::Feminine && !names.empty()) {
        if (names.back() == "_um")
            names.back() = "_uma";
        else if (names.back() == "_dois")
            names.back() = "_duas";
    }
    return names;
}

int weekday_of(int day, int month, int year)
{
    // Days from a fixed Sunday, by the civil-calendar count of whole years.
    int y = year - (month <= 2 ? 1 : 0);
    int era = (y >= 0 ? y : y - 399) / 400;
    int year_of_era = y - era * 400;
    int shifted_month = month > 2 ? month - 3 : month + 9;
    int day_of_year = (153 * shifted_month + 2) / 5 + day - 1;
    int day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    long days = static_cast<long>(era) * 146097 + day_of_era - 719468; // 0 = 1970-01-01, a Thursday
    long weekday = (days + 4) % 7;
    return static_cast<int>(weekday < 0 ? weekday + 7 : weekday);
}

std::vector<std::string> date_sound_names(int day, int month, int year)
{
    std::vector<std::string> names;
    if (month >= 1 && month <= 12 && day >= 1 && day <= 31)
        names.push_back("_" + std::string(weekdays[static_cast<size_t>(weekday_of(day, month, year))]));
    if (day == 1)
        names.push_back("_primeir");
    else if (day > 0)
        names.push_back(words_entry(static_cast<uint64_t>(day)));
    names.push_back("_de");
    if (month >= 1 && month <= 12)
        names.push_back("_" + std::string(months[static_cast<size_t>(month - 1)].substr(0, 7)));
    names.push_back("_de");
    if (year >= 2100) {
        // The two-part reading below only fits this century; later years are
        // read as the whole number.
        names.push_back(words_entry(static_cast<uint64_t>(year)));
    } else {
        if (year >= 2000) {
            names.push_back(words_entry(2000));
            if (year > 2000)
                names.push_back("_e");
        }
        if (year > 0 && year % 100 != 0)
            names.push_back(words_entry(static_cast<uint64_t>(year % 100)));
    }
    return names;
}

std::vector<std::string> time_sound_names(int hours, int minutes)
{
    std::vector<std::string> names;
    names.push_back("#f" + number_to_words(static_cast<uint64_t>(std::max(0, hours))));
    names.push_back(hours < 2 ? "_hora" : "_horas");
    if (minutes != 0) {
        names.push_back(words_entry(static_cast<uint64_t>(std::max(0, minutes))));
        names.push_back(minutes < 2 ? "_minuto" : "_minutos");
    }
    return names;
}

void play_joined_recordings(const platform::PathMap& paths, const std::string& folder, const std::vector<std::string>& names,
    const std::function<void(std::span<const uint8_t>)>& play)
{
    std::vector<uint8_t> image(wave_header_bytes);
    auto play_image = [&] {
        if (image.size() <= wave_header_bytes)
            return;
        audio::write_wave_header(std::span<uint8_t, wave_header_bytes>(image.data(), wave_header_bytes), unit_format, image.size() - wave_header_bytes);
        play(image);
        image.resize(wave_header_bytes);
    };
    for (const auto& name : names) {
        auto file = read_small_file(paths.to_system(folder + name + ".wav"), 4 * 1024 * 1024);
        // Every such recording is 8-bit mono at 11025 Hz after a 44-byte
        // header, so the header is not read.
        if (!file || file->size() <= wave_header_bytes)
            continue;
        size_t length = std::min(file->size() - wave_header_bytes, number_buffer_bytes);
        if (image.size() - wave_header_bytes + length > number_buffer_bytes)
            play_image();
        image.insert(image.end(), file->begin() + wave_header_bytes, file->begin() + static_cast<long>(wave_header_bytes + length));
    }
    play_image();
}

}
