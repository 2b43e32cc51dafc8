// SPDX-License-Identifier: GPL-3.0-or-later
// Options of the two programs, and their help text.
#include "app/options.h"

namespace app {

namespace {

// "X=DIR": a drive letter, an equals sign and a folder.
platform::Result<std::pair<char, std::string>> parse_drive(const std::string& value)
{
    char letter = value.empty() ? '\0' : value[0];
    bool is_letter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    if (value.size() < 3 || !is_letter || value[1] != '=')
        return platform::Error { "option --drive needs a drive letter and a folder, as in C=/srv/c" };
    return std::pair<char, std::string> { static_cast<char>(letter & ~0x20), value.substr(2) };
}

}

platform::Result<Options> parse_options(const std::vector<std::string>& argv, bool takes_script)
{
    Options options;
    size_t index = 1;
    auto value_of = [&](const std::string& option) -> platform::Result<std::string> {
        if (index + 1 >= argv.size())
            return platform::Error { "option " + option + " needs a value" };
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
        } else if (argument == "--headless") {
            options.headless = true;
        } else if (argument == "--fast") {
            options.fast = true;
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
        } else if (argument == "--log" || argument == "--speech-log") {
            auto value = value_of(argument);
            if (!value)
                return value.error();
            (argument == "--log" ? options.log_path : options.speech_log_path) = *value;
        } else {
            return platform::Error { "unknown option '" + argument + "'" };
        }
    }
    if (options.help)
        return options;
    if (takes_script) {
        if (index >= argv.size())
            return platform::Error { "no script given" };
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
        usage += "Runs a Corvante script. The arguments after it are what the script's\n"
                 "\"PARAMS\" sees.\n";
    else
        usage += "Runs the application carried inside the program.\n";
    usage += "\n"
             "Options:\n"
             "  --headless         no screen and no keyboard: the console lives in memory\n"
             "  --log FILE         append every byte written to the console to FILE (UTF-8)\n"
             "  --speech-log FILE  append one line per speech request to FILE:\n"
             "                     'speak: TEXT', 'spell: TEXT', 'char: C', 'sound: NAME'\n"
             "  --ini FILE         read the settings from FILE instead of looking for\n"
             "                     Lumera.ini in ~/.config/Lumera, then in c:\\windows\n"
             "  --drive X=DIR      the scripts' drive X: is the folder DIR (repeatable;\n"
             "                     drive C defaults to ~/.local/share/lumera/c)\n"
             "  --fast             timed pauses return at once (a virtual clock)\n"
             "  --help             show this text\n"
             "\n"
             "Exit status: 0 normal end, 1 a statement failed, 2 could not start,\n"
             "3 the scripted keys ran out.\n";
    return usage;
}

}
