// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the word at the line editor's cursor as a document or a link (F12).
#pragma once

#include <string>
#include <string_view>

namespace interpreter {
struct Runtime;
}
namespace settings {
class Settings;
}

namespace console {

// The word around the zero-based `cursor` (between blanks), with the
// characters " ( * - . < = > [ _ { stripped from both ends, since a name
// written in a sentence is often quoted, bracketed or ends a sentence.
std::string document_word_at(std::string_view field, int cursor);

// What to hand to the desktop for a word: the program to start (or the
// document itself) and its parameter. Windows-style text, Windows-1252.
struct DocumentOpening {
    std::string file;
    std::string parameter;
};

// Links go to the program of PROG.HTM, other names to the program of PROG.
// and their extension; a program file (EXE, COM) is started itself, made
// absolute from `current_directory`. Without a program configured, the
// document or link itself is opened.
DocumentOpening plan_document_opening(
    std::string_view word, const settings::Settings& settings, std::string_view current_directory);

// Opens the word with WorldPort::open_document, waiting while speech is busy
// before and after; a beep when the word is empty or the opening failed.
void open_document_word(interpreter::Runtime& runtime, std::string_view word);

}
