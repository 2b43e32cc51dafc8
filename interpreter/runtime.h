// SPDX-License-Identifier: GPL-3.0-or-later
// Runtime: all the state of one running program, owned in one place.
#pragma once

#include "interpreter/command_table.h"
#include "interpreter/failure_reason.h"
#include "interpreter/ports.h"
#include "interpreter/list_table.h"
#include "interpreter/random.h"
#include "interpreter/script_store.h"
#include "interpreter/variables.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace console {
class Console;
struct MenuState;
}
namespace desktop {
class DesktopState;
}
namespace files {
class BinaryFiles;
class ChannelTable;
class DirectorySearch;
}
namespace media {
class MediaState;
}
namespace net {
class NetworkState;
}
namespace platform {
class PathMap;
}
namespace settings {
class Settings;
}
namespace sys {
class SystemState;
}

namespace interpreter {

class CapturedOutput;

constexpr int max_call_depth = 20;

// The state of the subsystems above the interpreter, owned by app/ and
// borrowed here. They are only declared, so that this folder depends on none
// of them; each subsystem's handlers reach their own state through these
// pointers, which app/ sets before the run (a test sets only what it needs).
struct Subsystems {
    platform::PathMap* paths = nullptr;
    settings::Settings* settings = nullptr;
    sys::SystemState* system = nullptr;
    // The captured child's output, for LE "CONSOLE" (set with `system`).
    CapturedOutput* captured_output = nullptr;
    console::Console* console = nullptr;
    files::ChannelTable* channels = nullptr;
    files::BinaryFiles* binary_files = nullptr;
    files::DirectorySearch* directory_search = nullptr;
    console::MenuState* menu = nullptr;
    net::NetworkState* network = nullptr;
    desktop::DesktopState* desktop = nullptr;
    media::MediaState* media = nullptr;
};

struct Runtime {
    Runtime(Ports ports, const CommandTable& commands);
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    Ports ports() const { return { terminal, speech, world }; }

    // How statements reach the console, the voice and the rest of the world.
    TerminalPort& terminal;
    SpeechPort& speech;
    WorldPort& world;
    const CommandTable& commands;
    Subsystems subsystems;

    ScriptStore store;
    Variables variables;
    ListTable lists;
    Random random;

    // The run loop's state.
    int current_line = 1;
    bool stop_requested = false;
    bool silent_end = false;
    bool run_failed = false;
    // Why the statement being executed failed, when the code that saw it
    // fail knows. The run loop does not empty it before every line: a reason
    // is noted with the step it was noted in (`failure_step`), so that one
    // noted by an earlier statement is never taken for the reason of a later
    // one. After a run it holds the failing line's reason, or None.
    FailureReason failure_reason = FailureReason::None;
    uint64_t failure_step = 0;
    // How many lines the current run has started: the one counter that the
    // step limit, the looks at pending events and the failure reasons share.
    uint64_t steps = 0;
    // The normalised keyword of the statement being executed: a view of the
    // command table's own spelling, so that setting it costs nothing.
    std::string_view current_keyword;
    std::array<int, max_call_depth> call_stack {};
    int call_depth = 0;
    // The I/O status that CHECA reports; 0 is success.
    int io_status = 0;
    bool debug_echo = false;
    // How deeply nested statements (the statement of a one-line SE, a CMD)
    // are running inside each other; a CMD whose value runs itself would
    // otherwise recurse until the stack runs out.
    int nesting_depth = 0;
    // How many lines a run may execute before it is ended as failed; 0 means
    // no limit. Only tests and the fuzzer set it, to bound scripts that loop.
    uint64_t step_limit = 0;
    // Run every stored line from its text, splitting its keyword afresh each
    // time, instead of from its decoded form: the two must behave alike, and
    // the tests run scripts both ways to show that they do.
    bool text_path = false;
    // The longest text that CONCATENA and SUBSTITUI may build; past it they
    // fail instead of exhausting memory. The fuzzer lowers it.
    size_t text_limit = size_t(16) << 20;

    // The arguments the program was started with, for "PARAMS".
    std::vector<std::string> arguments;
    // Day of the week and centiseconds since midnight when the program
    // started, for "TEMPO".
    int start_weekday = 0;
    int64_t start_centiseconds = 0;

    // Scratch text reused from statement to statement, so that the run loop
    // does not allocate for every line.
    std::string scratch;
    // The two sides of a condition that needed copying (a doubled quote, an
    // expression); a condition never evaluates another while it holds them.
    std::string condition_scratch[2];
};

// Notes why the statement being executed fails and returns false, for
// `return fail_because(...)`. The first reason noted is kept: it is the
// cause, and what fails after it only follows from it.
inline bool fail_because(Runtime& runtime, FailureReason reason)
{
    if (runtime.failure_reason == FailureReason::None || runtime.failure_step != runtime.steps) {
        runtime.failure_reason = reason;
        runtime.failure_step = runtime.steps;
    }
    return false;
}

}
