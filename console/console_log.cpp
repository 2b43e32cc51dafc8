// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleLog: every byte written to the console, appended to a file in UTF-8.
#include "console/console_log.h"

#include "base/text_encoding.h"

namespace console {

ConsoleLog::~ConsoleLog()
{
    if (m_file)
        std::fclose(m_file);
}

bool ConsoleLog::open(const std::string& path)
{
    if (m_file)
        std::fclose(m_file);
    m_file = std::fopen(path.c_str(), "ab");
    return m_file != nullptr;
}

void ConsoleLog::console_output(std::string_view bytes)
{
    if (!m_file)
        return;
    std::string kept;
    kept.reserve(bytes.size());
    for (char c : bytes) {
        if (c != '\r')
            kept += c;
    }
    auto utf8 = base::windows1252_to_utf8(kept);
    std::fwrite(utf8.data(), 1, utf8.size(), m_file);
    std::fflush(m_file);
}

}
