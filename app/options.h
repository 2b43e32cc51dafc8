// SPDX-License-Identifier: GPL-3.0-or-later
// Options of the two programs, and their help text.
#pragma once

#include "base/result.h"

#include <string>
#include <utility>
#include <vector>

namespace app {

struct Options {
    bool headless = false;
    bool fast = false;
    // --text-path: every line runs from its text, split afresh each time,
    // instead of from its decoded form (for testing the interpreter).
    bool text_path = false;
    bool help = false;
    std::string log_path;
    std::string speech_log_path;
    // --audio: a WAV file that records everything played, or "null" for
    // silence that takes its time; empty for the sound card.
    std::string audio;
    // --ini: the settings file to read instead of searching for Lumera.ini.
    std::string ini_path;
    // --drive X=DIR, in the order given: the root folder of drive letter X.
    std::vector<std::pair<char, std::string>> drives;
    // Scripted keys in the notation of the help text, and a file of them.
    std::string keys;
    std::string keys_file;
    // Where the screen's 25 rows are written at exit.
    std::string screen_path;
    bool window = false;
    // --desktop: "x11", "headless" or "none"; empty to choose by the console
    // (headless runs record, the others use the X display when there is one).
    std::string desktop;
    // --accessible-objects: the file that describes the recorded desktop's
    // accessible objects and events (RecordingAccessibility); empty: none.
    std::string accessible_objects_path;
    // --braille: "brlapi" opens the display of a BrlAPI server even without
    // a screen, "off" never opens one; empty: only the terminal and the
    // window look for one.
    std::string braille;
    // corvante only: the script, and the arguments after it, which the
    // script sees as "PARAMS".
    std::string script_path;
    std::vector<std::string> arguments;
    // corvante --check: the scripts to read and check, none of them run.
    bool check = false;
    std::vector<std::string> check_paths;
};

// `takes_script` is true for corvante, whose first non-option argument is the
// script; nubrado passes every non-option argument to its embedded script.
base::Result<Options> parse_options(const std::vector<std::string>& argv, bool takes_script);

std::string help_text(const std::string& program, bool takes_script);

}
