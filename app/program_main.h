// SPDX-License-Identifier: GPL-3.0-or-later
// The main routine both programs share: options, backends, start-up, one run, the report.
#pragma once

#include <span>
#include <string_view>

namespace app {

// A value the program hands its script before the run: the named variable
// holds the setting's value, or the default when the key is missing or
// empty. This is how a carried script learns settings of its own, since
// the language has no statement that reads the settings file.
struct ScriptSetting {
    std::string_view variable; // upper case, without "$"
    std::string_view section;
    std::string_view key;
    std::string_view default_value;
};

struct Program {
    std::string_view name; // "corvante" or "nubrado": messages and the caption
    // corvante reads its script from the file named after the options;
    // nubrado runs the lines it carries, and all its arguments are the
    // script's.
    bool takes_script = false;
    std::span<const std::string_view> embedded_lines;
    std::span<const ScriptSetting> script_settings = {};
};

// Returns the exit status.
int run_program(const Program& program, int argc, char** argv);

}
