// SPDX-License-Identifier: GPL-3.0-or-later
// TextConsole: a console that keeps what was written, line by line.
#include "console/text_console.h"

#include "platform/text_encoding.h"

namespace console {

TextConsole::TextConsole(std::FILE* mirror)
    : m_mirror(mirror)
{
}

TextConsole::~TextConsole()
{
    if (m_log)
        std::fclose(m_log);
}

bool TextConsole::open_log(const std::string& path)
{
    if (m_log)
        std::fclose(m_log);
    m_log = std::fopen(path.c_str(), "ab");
    return m_log != nullptr;
}

void TextConsole::log_bytes(std::string_view text)
{
    if (!m_log)
        return;
    std::string out;
    for (char c : text) {
        if (c == '\r') {
            m_log_pending_cr = true;
            continue;
        }
        // A CR that no LF follows only returns the cursor; the log keeps
        // lines, so it writes nothing for it.
        m_log_pending_cr = false;
        out += c;
    }
    auto utf8 = platform::windows1252_to_utf8(out);
    std::fwrite(utf8.data(), 1, utf8.size(), m_log);
    std::fflush(m_log);
}

void TextConsole::write_chars(std::string_view text)
{
    log_bytes(text);
    if (m_mirror) {
        auto utf8 = platform::windows1252_to_utf8(text);
        std::fwrite(utf8.data(), 1, utf8.size(), m_mirror);
        std::fflush(m_mirror);
    }
    for (char c : text) {
        if (c == '\r') {
            m_column = 0;
        } else if (c == '\n') {
            m_lines.emplace_back();
            m_column = 0;
        } else {
            std::string& line = m_lines.back();
            if (m_column < line.size())
                line[m_column] = c;
            else
                line += c;
            ++m_column;
        }
    }
}

void TextConsole::clear_screen()
{
    m_lines.assign(1, std::string());
    m_column = 0;
}

}
