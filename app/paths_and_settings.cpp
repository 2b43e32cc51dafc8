// SPDX-License-Identifier: GPL-3.0-or-later
// The path map and the settings of one run, built from the program's options.
#include "app/paths_and_settings.h"

#include "interpreter/runtime.h"
#include "platform/user_folders.h"

namespace app {

namespace {

platform::PathMap make_path_map(const Options& options)
{
    platform::PathMap paths;
    for (const auto& [letter, root] : options.drives)
        paths.set_drive(letter, root);
    return paths;
}

}

PathsAndSettings::PathsAndSettings(const Options& options)
    : m_paths(make_path_map(options))
    , m_settings(m_paths, { platform::config_home() + "/Lumera", options.ini_path, platform::executable_directory() })
{
}

void PathsAndSettings::attach(interpreter::Subsystems& subsystems)
{
    subsystems.paths = &m_paths;
    subsystems.settings = &m_settings;
}

}
