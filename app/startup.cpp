// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up both programs share: speech, the cleared console and its captions.
#include "app/startup.h"

#include "console/console.h"
#include "platform/path_map.h"
#include "settings/setting_keys.h"
#include "speech/speech_client.h"

#include <filesystem>

namespace app {

void start_up(console::Console& console, speech::SpeechClient& speech, const settings::Settings& settings,
    const platform::PathMap& paths, std::string_view program_name)
{
    // The speech start's first step: the line editor's magnifier settings.
    console.magnifier().configure({ settings::magnifier_level(settings),
        settings::magnifier_text_colour(settings), settings::magnifier_background_colour(settings),
        settings::magnifier_cursor_colour(settings) });
    speech.init_speech(0, settings::corvante_directory(settings));
    console.clear_screen();
    console.set_title("CORVANTE");
    // The original changed into the default folder and straight back; the
    // visit is kept (a missing folder is ignored), the working folder is not
    // changed by it.
    std::error_code error;
    auto started_in = std::filesystem::current_path(error);
    if (!error) {
        std::filesystem::current_path(paths.to_system(settings::default_script_directory(settings)), error);
        std::filesystem::current_path(started_in, error);
    }
    console.set_title(program_name);
}

}
