// SPDX-License-Identifier: GPL-3.0-or-later
// Starting programs the four ways EXECUTA knows.
#pragma once

#include <string_view>

namespace interpreter {
struct Runtime;
}
namespace platform {
class PathMap;
}

namespace sys {

class SystemState;

enum class StartWay {
    shown_and_wait, // no "&": shown, and the script waits until the user is back
    shown, // one "&", or four and more
    hidden, // "&&"
    captured, // "&&&": standard streams held for LE "CONSOLE" and ENVIACMD
};

StartWay start_way_for(int ampersands);

// Starts the program that EXECUTA's value names. False when it cannot be
// found or started.
bool start_program(interpreter::Runtime& runtime, SystemState& state, const platform::PathMap& paths,
    std::string_view value, StartWay way);

// Ends the processes a taskkill names; the number ended.
int end_named_processes(SystemState& state, std::string_view windows_name, bool force);

}
