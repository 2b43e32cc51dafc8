// SPDX-License-Identifier: GPL-3.0-or-later
// BasicHost: the interpreter's host over a text console, the speech log and a clock.
#include "app/basic_host.h"

#include "platform/text_encoding.h"

namespace app {

BasicHost::BasicHost(console::TextConsole& console, speech::SpeechLog& speech, platform::Clock& clock, std::FILE* input)
    : m_console(console)
    , m_speech(speech)
    , m_clock(clock)
    , m_input(input)
{
}

void BasicHost::pause_ms(int milliseconds)
{
    if (milliseconds > 0)
        m_clock.pass_ms(static_cast<uint64_t>(milliseconds));
}

interpreter::TimeOfDay BasicHost::local_time()
{
    auto now = m_clock.local_time();
    return { now.year, now.month, now.day, now.weekday, now.hour, now.minute, now.second, now.hundredths };
}

uint32_t BasicHost::random_seed()
{
    auto now = m_clock.local_time();
    return static_cast<uint32_t>(m_clock.monotonic_ms()) ^ static_cast<uint32_t>(now.second * 100 + now.hundredths)
        ^ static_cast<uint32_t>(now.minute << 16);
}

uint8_t BasicHost::read_key()
{
    // Without a keyboard of its own the plain host takes keys from its input
    // stream; when that has ended, it answers Enter.
    if (!m_input)
        return 13;
    int c = std::fgetc(m_input);
    return c == EOF ? 13 : static_cast<uint8_t>(c == '\n' ? 13 : c);
}

std::optional<std::string> BasicHost::read_line()
{
    if (!m_input)
        return std::nullopt;
    std::string line;
    int c;
    while ((c = std::fgetc(m_input)) != EOF && c != '\n')
        line += static_cast<char>(c);
    if (c == EOF && line.empty())
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return platform::utf8_to_windows1252(line);
}

}
