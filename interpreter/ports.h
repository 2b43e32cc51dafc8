// SPDX-License-Identifier: GPL-3.0-or-later
// Ports: the three ways statements reach the world, and what they do together.
#pragma once

#include "interpreter/speech_port.h"
#include "interpreter/terminal_port.h"
#include "interpreter/world_port.h"

namespace interpreter {

// Borrowed: app/ (or a test) owns the implementations for the whole run.
struct Ports {
    TerminalPort& terminal;
    SpeechPort& speech;
    WorldPort& world;
};

// Reads a whole key and speaks it, cutting off what was being said (the
// digit of a speed level, a letter). A key without a character speaks as
// the zero byte that announces it.
inline KeyPress read_key_and_speak(TerminalPort& terminal, SpeechPort& speech)
{
    KeyPress key = terminal.read_key_press();
    speech.stop_speech();
    speech.speak_char(key.extended ? '\0' : static_cast<char>(key.code));
    return key;
}

}
