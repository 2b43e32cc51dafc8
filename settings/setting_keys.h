// SPDX-License-Identifier: GPL-3.0-or-later
// Every key of Lumera.ini the program reads, with its default and its checks.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

class Settings;

// Each function reads its key afresh, so a change to the file is seen at the
// next call. Numbers that are empty, not whole decimal numbers or outside the
// range a reader accepts take the key's default; texts are already cut to the
// read's limit (79 characters for the direct reads, 254 for read_setting).
// The directory functions return Windows-style text (Windows-1252), to be
// mapped with platform::PathMap when a file is opened.

// Section VIDEO, read directly by the console at start-up.

constexpr int palette_size = 16;
// TABCORES: the colour map, logical colour to palette entry. Entries are taken
// from the start of the list, in order, up to the first one that is not a
// number from 0 to 15; the rest keep their identity values.
std::array<int, palette_size> colour_map(const Settings&);
bool fixed_colours(const Settings&); // CORESFIXAS begins with "S" or "s"
bool slow_scrolling(const Settings&); // LENTO begins with "S" or "s"
int video_background_colour(const Settings&); // CORFUNDO, 0..15, default 0
int video_text_colour(const Settings&); // CORLETRA, 0..15, default 15
std::string font_face(const Settings&); // FONTE, default "Lucida Console"
// LARGURALETRA and ALTURALETRA: the cell's font width and height in pixels,
// or nothing when missing or not a number from 1 to 1000 (then the work
// area's size decides, with the two functions below).
std::optional<int> font_width(const Settings&);
std::optional<int> font_height(const Settings&);
int default_font_width(int work_area_width); // width x 13 / 1024, halves to even
int default_font_height(int work_area_height); // height x 28 / 734, halves to even
int font_weight(const Settings&); // PESOLETRA, 1..1000, default 700
bool normal_window(const Settings&); // CANTOTELA begins with "S" or "s" (default "SIM")

// Section BRAILLE, read directly: MODO, the braille keyboard mode 0, 1 or 2
// from the low two bits of the first character (3 counts as 1), default 0.
int braille_keyboard_mode(const Settings&);

// Section BAIXAVISAO: the line editor's magnifier.
int magnifier_level(const Settings&); // AMPLIACAO: empty 0 (off); invalid or outside 0..10: 3
int magnifier_text_colour(const Settings&); // CORLETRA, 0..15, default 14
int magnifier_background_colour(const Settings&); // CORFUNDO, 0..15, default 6
int magnifier_cursor_colour(const Settings&); // CORCURSOR, 0..15, default 3

// Section LUMERA.
bool legacy_enabled(const Settings&); // LEGADO begins with "S" or "s"
// TIMEOUT_REDE: the socket poll's limit in microseconds, default 20000; a
// negative value or one that is not a number gives the default.
int network_timeout_microseconds(const Settings&);
// TEMPOESPERAPROGVOLTAR: milliseconds, 0..1000, default 1000.
int program_return_wait_ms(const Settings&);
std::string link_opener_program(const Settings&); // PROG.HTM, empty when not configured
// PROG. followed by the extension (at most its first three characters,
// upper-cased): the program that opens such files, empty when not configured.
std::string file_opener_program(const Settings&, std::string_view extension);

// Section CORVANTE.
std::string corvante_directory(const Settings&); // DIRCORVANTE, empty when not configured
std::string default_script_directory(const Settings&); // DIRDEFAULT, default "c:\kestra\scripts"
// BANCOMIDI: the General MIDI sound bank (.sf2) of MIDI INICIA, empty when
// not configured (the system's bank is used then).
std::string midi_sound_bank(const Settings&);

// Section TRADUTOR.
constexpr int min_speech_speed = 1;
constexpr int max_speech_speed = 5;
int speech_speed(const Settings&); // VELOCIDADE, 1..5, default 3
// DIRLETRAS through read_setting: the recorded cues' folder, default
// "c:\kestra\som\letras", always ending in "\".
std::string letters_directory(const Settings&);
// dirLetras read directly (no macros, no fallback, no default): the built-in
// synthesiser's letters folder, with a final "\" added; empty when missing.
std::string builtin_letters_directory(const Settings&);
// DIRDIFONES read directly: default "c:\kestra\som\difones", ending in "\".
std::string diphone_directory(const Settings&);
// SAPI: not empty and not beginning with "N" or "n".
bool uses_installed_engine(const Settings&);
std::string audio_output_device(const Settings&); // SAIDADEAUDIO, direct, empty: the default device

// Section SERVFALA: the installed engine's choice; missing or invalid is 0.
int engine_voice(const Settings&); // VOZ
int engine_speed(const Settings&); // VELOCIDADE
int engine_pitch(const Settings&); // TOM
int engine_type(const Settings&); // TIPOSAPI

// Section SINTETIZADOR: one set of keys per speech speed, named with the
// speed level's digit ("CORTEFON3"). A level outside 1..5 reads level 3.
struct SpeedSettings {
    int unit_cut_samples = 0; // CORTEFONn, default 0
    int unit_keep_samples = 0; // SOBRAFONn, default 0
    int word_gap_samples = 0; // INTERPALn, default 0
    bool speech_cutting = false; // CORTAFALAn: on unless empty or beginning with "N"
    bool fast_playback = false; // RAPIDINHOn: the same reading
    int full_stop_pause_ms = 250; // PAUSAPONTOn
    int comma_pause_ms = 150; // PAUSAVIRGn
    int colon_pause_ms = 200; // PAUSADOISPONTOSn
};
// Negative numbers count as invalid and take the default.
SpeedSettings speed_settings(const Settings&, int speed_level);

// Section BERTATTS: the MBROLA voice.
std::string mbrola_database(const Settings&); // MBROLA_DB, default "br4"
std::string berta_directory(const Settings&); // DIR, default "\kestra\bertatts\", ending in "\"
std::string berta_base_name(const Settings&); // BASE, default "portug"

}
