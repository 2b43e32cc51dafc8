// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechLog: records every speech request, one line each, for tests and logs.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace speech {

// The two cues have no file name; the log shows them under names that no
// file of a Windows script can have.
constexpr std::string_view beep_log_name = "<beep>";
constexpr std::string_view click_log_name = "<click>";

// The lines read "speak: TEXT", "spell: TEXT", "char: C" and "sound: NAME"
// (the beep and the click as "sound: <beep>" and "sound: <click>", control
// characters as "char: <13>"),
// in UTF-8; they are how script tests see what a user would hear.
class SpeechLog {
public:
    SpeechLog() = default;
    ~SpeechLog();
    SpeechLog(const SpeechLog&) = delete;
    SpeechLog& operator=(const SpeechLog&) = delete;

    // Appends the requests to `path` from now on; false when it cannot be opened.
    bool open(const std::string& path);

    void speak_text(std::string_view text) { record("speak", text); }
    void spell_text(std::string_view text) { record("spell", text); }
    // A control byte (a key read and spoken: Esc, Enter) shows as its code
    // in angle brackets, "char: <27>", so the log stays readable.
    void speak_char(char c);
    void play_sound(std::string_view name) { record("sound", name); }

    const std::vector<std::string>& entries() const { return m_entries; }

private:
    void record(std::string_view kind, std::string_view text);

    std::FILE* m_file = nullptr;
    std::vector<std::string> m_entries;
};

}
