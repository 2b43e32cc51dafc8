// SPDX-License-Identifier: GPL-3.0-or-later
// The path map and the settings of one run, built from the program's options.
#pragma once

#include "app/options.h"
#include "platform/path_map.h"
#include "settings/settings.h"

namespace interpreter {
struct Subsystems;
}

namespace app {

// Drive C at its default root with the --drive roots over it, and the
// settings file searched in the user's folder and on drive C, or taken from
// --ini; the program's folder is that of the running executable.
class PathsAndSettings {
public:
    explicit PathsAndSettings(const Options& options);
    PathsAndSettings(const PathsAndSettings&) = delete;
    PathsAndSettings& operator=(const PathsAndSettings&) = delete;

    void attach(interpreter::Subsystems& subsystems);

    platform::PathMap& paths() { return m_paths; }
    settings::Settings& settings() { return m_settings; }

private:
    platform::PathMap m_paths;
    settings::Settings m_settings;
};

}
