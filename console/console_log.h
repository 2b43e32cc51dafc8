// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleLog: every byte written to the console, appended to a file in UTF-8.
#pragma once

#include "console/console.h"

#include <cstdio>
#include <string>

namespace console {

// The log keeps lines: CR LF and LF each end one line, and a CR that no LF
// follows (a return to the start of the row) writes nothing. Every write is
// flushed at once, so the log is whole even when the program is killed.
class ConsoleLog final : public OutputObserver {
public:
    ConsoleLog() = default;
    ~ConsoleLog() override;
    ConsoleLog(const ConsoleLog&) = delete;
    ConsoleLog& operator=(const ConsoleLog&) = delete;

    // Appends from now on to `path`; false when it cannot be opened.
    bool open(const std::string& path);
    void console_output(std::string_view bytes) override;

private:
    std::FILE* m_file = nullptr;
};

}
