// SPDX-License-Identifier: GPL-3.0-or-later
// Every key of Lumera.ini the program reads, with its default and its checks.
#include "settings/setting_keys.h"

#include "settings/settings.h"


namespace settings {

namespace {

constexpr int max_colour = 15;

bool begins_with_letter(std::string_view value, char capital)
{
    return !value.empty() && (value.front() == capital || value.front() == capital + 32);
}

int number_in_range(std::string_view value, int low, int high, int fallback)
{
    auto number = Settings::whole_number(value);
    if (!number || *number < low || *number > high)
        return fallback;
    return *number;
}

int direct_number(const Settings& settings, std::string_view section, std::string_view key, std::string_view default_text, int low, int high, int fallback)
{
    return number_in_range(settings.read_direct(section, key, default_text), low, high, fallback);
}

int setting_number(const Settings& settings, std::string_view section, std::string_view key, int low, int high, int fallback)
{
    return number_in_range(settings.read_setting(section, key), low, high, fallback);
}

std::string with_final_backslash(std::string value)
{
    if (!value.empty() && value.back() != '\\')
        value += '\\';
    return value;
}

std::string or_default(std::string value, std::string_view fallback)
{
    return value.empty() ? std::string(fallback) : value;
}

// Rounds a / b to the nearest whole number, halves to even.
int divide_rounding_to_even(long long a, long long b)
{
    long long quotient = a / b;
    long long twice_remainder = 2 * (a % b);
    if (twice_remainder > b || (twice_remainder == b && quotient % 2 != 0))
        ++quotient;
    return static_cast<int>(quotient);
}

bool is_on(std::string_view value)
{
    return !value.empty() && !begins_with_letter(value, 'N');
}

}

std::array<int, palette_size> colour_map(const Settings& settings)
{
    std::array<int, palette_size> map {};
    for (int i = 0; i < palette_size; ++i)
        map[i] = i;
    std::string list = settings.read_direct("VIDEO", "TABCORES", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15");
    list += ',';
    std::string_view rest = list;
    for (int entry = 0; entry < palette_size; ++entry) {
        size_t comma = rest.find(',');
        if (comma == std::string_view::npos)
            break;
        std::string_view text = rest.substr(0, comma);
        while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
            text.remove_prefix(1);
        while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
            text.remove_suffix(1);
        // A palette has 16 entries: a number beyond them would draw with a
        // colour that does not exist, so it ends the list like a non-number.
        auto number = Settings::whole_number(text);
        if (!number || *number < 0 || *number > max_colour)
            break;
        map[entry] = *number;
        rest.remove_prefix(comma + 1);
    }
    return map;
}

bool fixed_colours(const Settings& settings)
{
    return begins_with_letter(settings.read_direct("VIDEO", "CORESFIXAS", "N"), 'S');
}

bool slow_scrolling(const Settings& settings)
{
    return begins_with_letter(settings.read_direct("VIDEO", "LENTO", "N"), 'S');
}

int video_background_colour(const Settings& settings)
{
    return direct_number(settings, "VIDEO", "CORFUNDO", "0", 0, max_colour, 0);
}

int video_text_colour(const Settings& settings)
{
    return direct_number(settings, "VIDEO", "CORLETRA", "15", 0, max_colour, 15);
}

std::string font_face(const Settings& settings)
{
    return or_default(settings.read_direct("VIDEO", "FONTE", "Lucida Console"), "Lucida Console");
}

// Cells larger than 1000 pixels cannot fit any screen; such a value is a
// mistake, and the work area's size is the better guess.
std::optional<int> font_width(const Settings& settings)
{
    int width = direct_number(settings, "VIDEO", "LARGURALETRA", "", 1, 1000, 0);
    return width ? std::optional<int>(width) : std::nullopt;
}

std::optional<int> font_height(const Settings& settings)
{
    int height = direct_number(settings, "VIDEO", "ALTURALETRA", "", 1, 1000, 0);
    return height ? std::optional<int>(height) : std::nullopt;
}

int default_font_width(int work_area_width)
{
    return divide_rounding_to_even(static_cast<long long>(work_area_width) * 13, 1024);
}

int default_font_height(int work_area_height)
{
    return divide_rounding_to_even(static_cast<long long>(work_area_height) * 28, 734);
}

int font_weight(const Settings& settings)
{
    return direct_number(settings, "VIDEO", "PESOLETRA", "700", 1, 1000, 700);
}

bool normal_window(const Settings& settings)
{
    return begins_with_letter(settings.read_direct("VIDEO", "CANTOTELA", "SIM"), 'S');
}

int braille_keyboard_mode(const Settings& settings)
{
    std::string value = settings.read_direct("BRAILLE", "MODO", "0");
    if (value.empty())
        return 0;
    int mode = static_cast<unsigned char>(value.front()) & 3;
    return mode == 3 ? 1 : mode;
}

int magnifier_level(const Settings& settings)
{
    std::string value = settings.read_setting("BAIXAVISAO", "AMPLIACAO");
    if (value.empty())
        return 0;
    return number_in_range(value, 0, 10, 3);
}

int magnifier_text_colour(const Settings& settings)
{
    return setting_number(settings, "BAIXAVISAO", "CORLETRA", 0, max_colour, 14);
}

int magnifier_background_colour(const Settings& settings)
{
    return setting_number(settings, "BAIXAVISAO", "CORFUNDO", 0, max_colour, 6);
}

int magnifier_cursor_colour(const Settings& settings)
{
    return setting_number(settings, "BAIXAVISAO", "CORCURSOR", 0, max_colour, 3);
}

bool legacy_enabled(const Settings& settings)
{
    return begins_with_letter(settings.read_setting("LUMERA", "LEGADO"), 'S');
}

int network_timeout_microseconds(const Settings& settings)
{
    return setting_number(settings, "LUMERA", "TIMEOUT_REDE", 0, 2147483647, 20000);
}

int program_return_wait_ms(const Settings& settings)
{
    return setting_number(settings, "LUMERA", "TEMPOESPERAPROGVOLTAR", 0, 1000, 1000);
}

std::string link_opener_program(const Settings& settings)
{
    return settings.read_setting("LUMERA", "PROG.HTM");
}

std::string file_opener_program(const Settings& settings, std::string_view extension)
{
    std::string key = "PROG.";
    for (char c : extension.substr(0, 3))
        key += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    return settings.read_setting("LUMERA", key);
}

std::string corvante_directory(const Settings& settings)
{
    return settings.read_setting("CORVANTE", "DIRCORVANTE");
}

std::string midi_sound_bank(const Settings& settings)
{
    return settings.read_setting("CORVANTE", "BANCOMIDI");
}

std::string default_script_directory(const Settings& settings)
{
    return or_default(settings.read_setting("CORVANTE", "DIRDEFAULT"), "c:\\kestra\\scripts");
}

int speech_speed(const Settings& settings)
{
    return setting_number(settings, "TRADUTOR", "VELOCIDADE", min_speech_speed, max_speech_speed, 3);
}

std::string letters_directory(const Settings& settings)
{
    return with_final_backslash(or_default(settings.read_setting("TRADUTOR", "DIRLETRAS"), "c:\\kestra\\som\\letras"));
}

std::string builtin_letters_directory(const Settings& settings)
{
    return with_final_backslash(settings.read_direct("TRADUTOR", "dirLetras", ""));
}

std::string diphone_directory(const Settings& settings)
{
    return with_final_backslash(settings.read_direct("TRADUTOR", "DIRDIFONES", "c:\\kestra\\som\\difones"));
}

bool uses_installed_engine(const Settings& settings)
{
    return is_on(settings.read_setting("TRADUTOR", "SAPI"));
}

std::string audio_output_device(const Settings& settings)
{
    return settings.read_direct("TRADUTOR", "SAIDADEAUDIO", "");
}

int engine_voice(const Settings& settings)
{
    return Settings::whole_number(settings.read_setting("SERVFALA", "VOZ")).value_or(0);
}

int engine_speed(const Settings& settings)
{
    return Settings::whole_number(settings.read_setting("SERVFALA", "VELOCIDADE")).value_or(0);
}

int engine_pitch(const Settings& settings)
{
    return Settings::whole_number(settings.read_setting("SERVFALA", "TOM")).value_or(0);
}

int engine_type(const Settings& settings)
{
    return Settings::whole_number(settings.read_setting("SERVFALA", "TIPOSAPI")).value_or(0);
}

SpeedSettings speed_settings(const Settings& settings, int speed_level)
{
    if (speed_level < min_speech_speed || speed_level > max_speech_speed)
        speed_level = 3;
    char digit = static_cast<char>('0' + speed_level);
    auto read = [&](std::string_view name) {
        std::string key(name);
        key += digit;
        return settings.read_setting("SINTETIZADOR", key);
    };
    constexpr int largest = 2147483647;
    SpeedSettings speed;
    speed.unit_cut_samples = number_in_range(read("CORTEFON"), 0, largest, 0);
    speed.unit_keep_samples = number_in_range(read("SOBRAFON"), 0, largest, 0);
    speed.word_gap_samples = number_in_range(read("INTERPAL"), 0, largest, 0);
    speed.speech_cutting = is_on(read("CORTAFALA"));
    speed.fast_playback = is_on(read("RAPIDINHO"));
    speed.full_stop_pause_ms = number_in_range(read("PAUSAPONTO"), 0, largest, 250);
    speed.comma_pause_ms = number_in_range(read("PAUSAVIRG"), 0, largest, 150);
    speed.colon_pause_ms = number_in_range(read("PAUSADOISPONTOS"), 0, largest, 200);
    return speed;
}

std::string mbrola_database(const Settings& settings)
{
    return or_default(settings.read_setting("BERTATTS", "MBROLA_DB"), "br4");
}

std::string berta_directory(const Settings& settings)
{
    return with_final_backslash(or_default(settings.read_setting("BERTATTS", "DIR"), "\\kestra\\bertatts\\"));
}

std::string berta_base_name(const Settings& settings)
{
    return or_default(settings.read_setting("BERTATTS", "BASE"), "portug");
}

}
