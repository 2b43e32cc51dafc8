// SPDX-License-Identifier: GPL-3.0-or-later
// TerminalKeyDecoder: bytes typed on an xterm-like terminal turned into key events.
#pragma once

#include "platform/event_source.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Understands plain UTF-8 text and control bytes, ESC-prefixed Alt keys,
// the CSI and SS3 sequences of xterm (with the `1;m` modifier form), the
// extended-key forms of modifyOtherKeys (`CSI 27;m;code~`) and `CSI code;m u`
// (which tmux sends with its extended-keys option on, and the kitty keyboard
// protocol uses, with releases), SGR mouse reports and focus reports.
// Sequences may arrive split across reads: an incomplete tail waits for the
// next `feed`, or for `flush` once the lone-Esc timeout has passed.
class TerminalKeyDecoder {
public:
    // Decodes what it can; the events are appended to `out`.
    void feed(std::string_view bytes, std::vector<Event>& out);

    // Called when no byte followed an incomplete sequence within the Esc
    // timeout: a lone ESC is the Esc key, ESC [ is Alt+[, anything else
    // incomplete is dropped.
    void flush(std::vector<Event>& out);

    // True while bytes wait for the rest of a sequence.
    bool has_pending() const { return !m_pending.empty(); }

    // Replies to the start-up queries seen so far: the kitty keyboard
    // protocol's flags reply, and the primary device attributes that every
    // terminal sends (and that ends the wait for the first).
    bool saw_kitty_reply() const { return m_saw_kitty_reply; }
    bool saw_device_attributes() const { return m_saw_device_attributes; }

    // The modifiers of the last key decoded, or those held according to the
    // kitty protocol's modifier presses and releases.
    uint8_t modifiers() const { return m_modifiers; }

private:
    // Each returns the number of bytes used, or 0 when the sequence is not
    // yet complete.
    size_t decode_escape(std::string_view bytes, std::vector<Event>& out, bool at_end);
    size_t decode_csi(std::string_view bytes, std::vector<Event>& out);
    size_t decode_text(std::string_view bytes, std::vector<Event>& out, bool at_end);
    void decode_control(uint8_t byte, uint8_t modifiers, std::vector<Event>& out);
    void emit_key(Key key, uint8_t modifiers, std::vector<Event>& out, bool release = false);
    void emit_codepoint(uint32_t codepoint, uint8_t modifiers, std::vector<Event>& out, bool release);
    void finish_csi(std::string_view parameters, char final_byte, std::vector<Event>& out);

    std::string m_pending;
    uint8_t m_modifiers = 0;
    bool m_saw_kitty_reply = false;
    bool m_saw_device_attributes = false;
};

// The modifier bits of a terminal's `m` parameter (1 + shift 1, alt 2,
// ctrl 4, meta 8 ...) in the runtime's own bits.
uint8_t terminal_modifiers(int parameter);

}
