// SPDX-License-Identifier: GPL-3.0-or-later
// Runtime: all the state of one running program, owned in one place.
#include "interpreter/runtime.h"

namespace interpreter {

Runtime::Runtime(Ports ports, const CommandTable& commands)
    : terminal(ports.terminal)
    , speech(ports.speech)
    , world(ports.world)
    , commands(commands)
{
}

}
