// SPDX-License-Identifier: GPL-3.0-or-later
// Options of the two programs, and their help text.
#include "app/options.h"

namespace app {

namespace {

// "X=DIR": a drive letter, an equals sign and a folder.
base::Result<std::pair<char, std::string>> parse_drive(const std::string& value)
{
    char letter = value.empty() ? '\0' : value[0];
    bool is_letter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    if (value.size() < 3 || !is_letter || value[1] != '=')
        return base::Error { "option --drive needs a drive letter and a folder, as in C=/srv/c" };
    return std::pair<char, std::string> { static_cast<char>(letter & ~0x20), value.substr(2) };
}

}

base::Result<Options> parse_options(const std::vector<std::string>& argv, bool takes_script)
{
    Options options;
    size_t index = 1;
    auto value_of = [&](const std::string& option) -> base::Result<std::string> {
        if (index + 1 >= argv.size())
            return base::Error { "option " + option + " needs a value" };
        return argv[++index];
    };
    for (; index < argv.size(); ++index) {
        const std::string& argument = argv[index];
        if (argument == "--") {
            ++index;
            break;
        }
        if (argument.size() < 2 || argument[0] != '-' || argument[1] != '-')
            break;
        if (argument == "--help") {
            options.help = true;
        } else if (argument == "--check" && takes_script) {
            options.check = true;
        } else if (argument == "--headless") {
            options.headless = true;
        } else if (argument == "--fast") {
            options.fast = true;
        } else if (argument == "--text-path") {
            options.text_path = true;
        } else if (argument == "--window") {
            options.window = true;
        } else if (argument == "--keys" || argument == "--keys-file" || argument == "--screen"
            || argument == "--accessible-objects") {
            auto value = value_of(argument);
            if (!value)
                return value.error();
            if (argument == "--keys")
                options.keys += *value;
            else if (argument == "--keys-file")
                options.keys_file = *value;
            else if (argument == "--screen")
                options.screen_path = *value;
            else
                options.accessible_objects_path = *value;
        } else if (argument == "--ini" || argument == "--drive") {
            auto value = value_of(argument);
            if (!value)
                return value.error();
            if (argument == "--ini") {
                options.ini_path = *value;
            } else {
                auto drive = parse_drive(*value);
                if (!drive)
                    return drive.error();
                options.drives.push_back(*drive);
            }
        } else if (argument == "--desktop") {
            auto value = value_of(argument);
            if (!value)
                return value.error();
            if (*value != "x11" && *value != "headless" && *value != "none")
                return base::Error { "--desktop must be x11, headless or none" };
            options.desktop = *value;
        } else if (argument == "--braille") {
            auto value = value_of(argument);
            if (!value)
                return value.error();
            if (*value != "brlapi" && *value != "off")
                return base::Error { "--braille: expected 'brlapi' or 'off', not '" + *value + "'" };
            options.braille = *value;
        } else if (argument == "--audio") {
            auto value = value_of(argument);
            if (!value)
                return value.error();
            options.audio = *value;
        } else if (argument == "--log" || argument == "--speech-log") {
            auto value = value_of(argument);
            if (!value)
                return value.error();
            (argument == "--log" ? options.log_path : options.speech_log_path) = *value;
        } else {
            return base::Error { "unknown option '" + argument + "'" };
        }
    }
    // Scripted keys replace the keyboard, so there is no screen to show.
    if (!options.keys.empty() || !options.keys_file.empty())
        options.headless = true;
    if (options.help)
        return options;
    if (options.check) {
        if (index >= argv.size())
            return base::Error { "--check needs at least one script" };
        options.check_paths.assign(argv.begin() + static_cast<long>(index), argv.end());
        return options;
    }
    if (takes_script) {
        if (index >= argv.size())
            return base::Error { "no script given" };
        options.script_path = argv[index++];
    }
    options.arguments.assign(argv.begin() + static_cast<long>(index), argv.end());
    return options;
}

std::string help_text(const std::string& program, bool takes_script)
{
    std::string usage = "usage: " + program + " [OPTION...]";
    usage += takes_script ? " SCRIPT [ARGUMENT...]\n" : " [ARGUMENT...]\n";
    if (takes_script)
        usage += "       " + program + " --check SCRIPT...\n"
                 "Runs a Corvante script. The arguments after it are what the script's\n"
                 "\"PARAMS\" sees. With --check, reads the scripts without running them and\n"
                 "reports each problem found as FILE:LINE: message on standard error.\n";
    else
        usage += "Runs the application carried inside the program.\n";
    usage += "\n"
             "Options:\n"
             "  --headless         no screen and no keyboard: the console lives in memory\n"
             "  --window           the console in a window of its own\n"
             "  --keys KEYS        type these keys, one each time the program waits for a\n"
             "                     key (implies --headless); see 'Keys' below\n"
             "  --keys-file FILE   the same, from a file (line ends in it are ignored)\n"
             "  --screen FILE      write the screen's 25 rows to FILE at exit (UTF-8)\n"
             "  --log FILE         append every byte written to the console to FILE (UTF-8)\n"
             "  --speech-log FILE  append one line per speech request to FILE:\n"
             "                     'speak: TEXT', 'spell: TEXT', 'char: C', 'sound: NAME'\n"
             "                     (beeps and clicks as 'sound: <beep>', 'sound: <click>')\n"
             "  --audio FILE.wav   record all sound to FILE.wav instead of playing it\n"
             "  --audio null       play nothing, taking the time the sound would take\n"
             "  --ini FILE         read the settings from FILE instead of looking for\n"
             "                     Lumera.ini in ~/.config/Lumera, then in c:\\windows\n"
             "  --drive X=DIR      the scripts' drive X: is the folder DIR (repeatable;\n"
             "                     drive C defaults to ~/.local/share/lumera/c)\n"
             "  --desktop NAME     where DIGITA, CLICA, JANELA, TRANSFERE... act: x11 (the\n"
             "                     display of $DISPLAY), headless (recorded in memory, the\n"
             "                     default of headless runs) or none\n"
             "  --accessible-objects FILE  the objects and events that MSAA finds on the\n"
             "                     headless desktop, one per line:\n"
             "                     WHERE | LEFT TOP WIDTH HEIGHT | ROLE CODE | ROLE TEXT |\n"
             "                     NAME | STATES | VALUE  (WHERE: point, focus, window,\n"
             "                     state or value; STATES: checked unavailable gone, or -)\n"
             "  --braille brlapi   show the console on the braille display of the BrlAPI\n"
             "                     server (brltty; BRLAPI_HOST names it) even when\n"
             "                     headless; the terminal and the window do so anyway\n"
             "  --braille off      never open a braille display\n"
             "  --fast             timed pauses return at once (a virtual clock)\n"
             "  --text-path        run every line from its text, split afresh each time it\n"
             "                     runs, instead of from its decoded form (for testing)\n"
             "  --help             show this text\n"
             "\n"
             "Keys: characters stand for themselves; {Enter} {Esc} {Tab} {Backspace}\n"
             "{Space} {Up} {Down} {Left} {Right} {Home} {End} {PgUp} {PgDn} {Ins} {Del}\n"
             "{F1}..{F12} {Break} name keys, with modifiers as in {Ctrl+X} {Alt+1}\n"
             "{Shift+Ins} {Ctrl+Shift+End}; \"{{\" is a \"{\". {Chord F+D} holds the keys\n"
             "together and releases them (the braille keyboard). {Mouse Left|Right|Middle}\n"
             "clicks, {Wheel Up|Down} turns the wheel, {Close} closes the window.\n"
             "{Wait 500} makes the next key arrive by itself 500 ms (of the program's\n"
             "clock) after the one before, even while the program is busy. When the keys\n"
             "run out, the next wait for a key ends the program with status 3.\n"
             "\n"
             "Exit status: 0 normal end, 1 a statement failed, 2 could not start,\n"
             "3 the scripted keys ran out.\n";
    if (takes_script)
        usage += "With --check: 0 nothing found, 1 problems found, 2 a script could not be read.\n";
    return usage;
}

}
