// SPDX-License-Identifier: GPL-3.0-or-later
// Runtime: all the state of one running program, owned in one place.
#include "interpreter/runtime.h"

namespace interpreter {

Runtime::Runtime(Host& host, const CommandTable& commands)
    : host(host)
    , commands(commands)
{
}

}
