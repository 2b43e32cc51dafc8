// SPDX-License-Identifier: GPL-3.0-or-later
// nubrado: the application, running the script it carries.
#include "app/embedded_script.h"
#include "app/program_main.h"

#include <array>

namespace {

// Where the first run fetches the cloud tools' package from (the "7za"
// archive that unpacks into c:\nubrado\megacmd). The default is a web
// server on this machine, since the package is made and served locally.
constexpr std::array<app::ScriptSetting, 1> script_settings = { {
    { .variable = "URLPACOTE", .section = "NUBRADO", .key = "PACOTE_MEGACMD",
        .default_value = "http://127.0.0.1/programas/nubrado/megacmd.7z" },
} };

}

int main(int argc, char** argv)
{
    return app::run_program({ .name = "nubrado", .takes_script = false, .embedded_lines = app::embedded_script_lines(),
                                .script_settings = script_settings },
        argc, argv);
}
