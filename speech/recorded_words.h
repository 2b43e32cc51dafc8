// SPDX-License-Identifier: GPL-3.0-or-later
// Recorded words: the sound names of number words, and the calendar's tables.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class PathMap;
}

namespace speech {

enum class Gender;

// The recordings that speak `words` (from number_to_words): "_" and the
// word without "ã"/"õ", cut to 8 characters ("_quatroc", "_milhao",
// "_dezeset"); feminine changes a last "_um" or "_dois" to "_uma", "_duas".
std::vector<std::string> number_sound_names(std::string_view words, Gender gender);

// 0 = Sunday, for any date of the Gregorian calendar.
int weekday_of(int day, int month, int year);

// The cue names of a date, in the order they are played; number words
// appear as "#" followed by the words, to be spoken with their recordings.
std::vector<std::string> date_sound_names(int day, int month, int year);

// The cue names of a time of day, in the same form; the hours' words,
// spoken in the feminine, are marked "#f".
std::vector<std::string> time_sound_names(int hours, int minutes);

// Recordings of number words are 8-bit mono 11025 Hz; up to this many
// samples are joined into one wave before it is played.
constexpr size_t number_buffer_bytes = 30000;

// Joins the recordings `names` of `folder` (a Windows path ending in a
// backslash; missing or empty files are skipped) into waves of up to
// number_buffer_bytes samples and hands each to `play`, header included.
void play_joined_recordings(const platform::PathMap& paths, const std::string& folder, const std::vector<std::string>& names,
    const std::function<void(std::span<const uint8_t>)>& play);

}
