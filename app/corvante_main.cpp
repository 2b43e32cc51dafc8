// SPDX-License-Identifier: GPL-3.0-or-later
// corvante: runs a Corvante script file with the runtime of the application.
#include "app/program_main.h"

int main(int argc, char** argv)
{
    return app::run_program({ .name = "corvante", .takes_script = true, .embedded_lines = {} }, argc, argv);
}
