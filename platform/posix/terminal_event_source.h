// SPDX-License-Identifier: GPL-3.0-or-later
// TerminalEventSource: keys, mouse and hang-up of a terminal in raw mode.
#pragma once

#include "platform/clock.h"
#include "platform/event_source.h"
#include "platform/posix/terminal_key_decoder.h"
#include "platform/posix/terminal_mode.h"

#include <deque>
#include <functional>
#include <mutex>
#include <string_view>

namespace platform {

class TerminalEventSource final : public EventSource {
public:
    struct Callbacks {
        // The terminal changed size: the screen must be drawn again.
        std::function<void()> resized;
        // A note for the user on the status line (empty: clear it).
        std::function<void(std::string_view windows1252_text)> tell_user;
    };

    // `real_time` is false for a virtual clock, which a timed wait moves on
    // instead of sleeping.
    TerminalEventSource(TerminalMode& mode, Clock& clock, bool real_time, Callbacks callbacks);
    ~TerminalEventSource() override;
    TerminalEventSource(const TerminalEventSource&) = delete;
    TerminalEventSource& operator=(const TerminalEventSource&) = delete;

    // Asks the terminal whether it speaks the kitty keyboard protocol and
    // waits (a bounded time) for the answer; keys typed meanwhile are kept.
    // Then turns on the richest keyboard reporting it offers.
    bool start_keyboard();
    // Key releases come only with the kitty protocol: without them the
    // braille chord keyboard cannot work.
    bool reports_key_releases() const { return m_kitty; }

    // Shows a note on the status line until the next key press.
    void tell_user(std::string_view windows1252_text);

    std::optional<Event> next_event() override;
    void wait(int timeout_ms) override;
    KeySupply request_key() override;
    bool keys_may_come() const override { return !m_input_ended || !m_ready.empty(); }
    void post(const Event& event) override;
    uint8_t held_modifiers() const override { return m_decoder.modifiers(); }
    PointerPosition pointer_position(bool) const override { return {}; }

private:
    // Reads what is waiting; returns false once the terminal is gone.
    bool read_input();
    void take_decoded(std::vector<Event>& decoded);

    TerminalMode& m_mode;
    Clock& m_clock;
    bool m_real_time;
    Callbacks m_callbacks;
    TerminalKeyDecoder m_decoder;
    bool m_kitty = false;
    bool m_input_ended = false;
    // Whether the screen may show a note that the next key takes away; at
    // the start it may (a terminal smaller than the console is said so).
    bool m_note_shown = true;
    uint64_t m_pending_since_ms = 0;
    int m_wake_pipe[2] = { -1, -1 };
    std::deque<Event> m_ready;
    std::mutex m_mutex;
    std::deque<Event> m_posted;
};

// What the user is told when the braille chord keyboard is asked for on a
// terminal that cannot report key releases.
constexpr std::string_view braille_keyboard_unavailable_note =
    "Teclado braille desligado: este terminal n\xE3o informa quando as teclas s\xE3o soltas.";

}
