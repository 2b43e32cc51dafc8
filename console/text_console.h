// SPDX-License-Identifier: GPL-3.0-or-later
// TextConsole: a console that keeps what was written, line by line.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace console {

// The plain console of the runner: it keeps the text written to it (so that
// tests and the end report can read it back), mirrors it to a stream when
// one is given, and appends it to the console log. CR returns to the start
// of the line, LF moves to a new line.
class TextConsole {
public:
    explicit TextConsole(std::FILE* mirror = nullptr);
    ~TextConsole();
    TextConsole(const TextConsole&) = delete;
    TextConsole& operator=(const TextConsole&) = delete;

    // Appends everything written from now on to `path`, in UTF-8, with CR LF
    // and LF written as one newline. Returns false when it cannot be opened.
    bool open_log(const std::string& path);

    void write_chars(std::string_view text);
    void end_line() { write_chars("\r\n"); }
    void clear_screen();

    const std::vector<std::string>& lines() const { return m_lines; }
    int cursor_column() const { return static_cast<int>(m_column); }

private:
    void log_bytes(std::string_view text);

    std::FILE* m_mirror;
    std::FILE* m_log = nullptr;
    bool m_log_pending_cr = false;
    std::vector<std::string> m_lines { std::string() };
    size_t m_column = 0;
};

}
