// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up both programs share: speech, the cleared console and its captions.
#pragma once

#include <string_view>

namespace platform {
class PathMap;
}
namespace settings {
class Settings;
}
namespace speech {
class SpeechClient;
}

namespace console {
class Console;
}

namespace app {

// Starts the speech output with the configured speed and DIRCORVANTE as the
// script's sound folder (a voice that cannot be opened ends the program
// here, after its message), clears the console, shows the caption
// "CORVANTE", visits the DIRDEFAULT folder and comes back (the working
// folder stays the one the program started in), and shows the program's
// name as the caption.
void start_up(console::Console& console, speech::SpeechClient& speech, const settings::Settings& settings,
    const platform::PathMap& paths, std::string_view program_name);

}
