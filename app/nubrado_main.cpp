// SPDX-License-Identifier: GPL-3.0-or-later
// nubrado: the application, running the script it carries.
#include "app/embedded_script.h"
#include "app/program_main.h"

int main(int argc, char** argv)
{
    return app::run_program({ .name = "nubrado", .takes_script = false, .embedded_lines = app::embedded_script_lines() }, argc, argv);
}
