// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechLog: records every speech request, one line each, for tests and logs.
#include "speech/speech_log.h"

#include "base/text_encoding.h"

#include <string>

namespace speech {

SpeechLog::~SpeechLog()
{
    if (m_file)
        std::fclose(m_file);
}

bool SpeechLog::open(const std::string& path)
{
    if (m_file)
        std::fclose(m_file);
    m_file = std::fopen(path.c_str(), "ab");
    return m_file != nullptr;
}

void SpeechLog::speak_char(char c)
{
    auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127)
        record("char", "<" + std::to_string(byte) + ">");
    else
        record("char", std::string_view(&c, 1));
}

void SpeechLog::record(std::string_view kind, std::string_view text)
{
    // A line break inside the text would split the entry; it is written as
    // a space so that one request stays one line.
    std::string entry(kind);
    entry += ": ";
    for (char c : text)
        entry += (c == '\r' || c == '\n') ? ' ' : c;
    m_entries.push_back(entry);
    if (m_file) {
        auto line = base::windows1252_to_utf8(entry) + "\n";
        std::fwrite(line.data(), 1, line.size(), m_file);
        std::fflush(m_file);
    }
}

}
