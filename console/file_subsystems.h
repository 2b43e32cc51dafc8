// SPDX-License-Identifier: GPL-3.0-or-later
// FileSubsystems: the state of the file commands, owned together and lent to a runtime.
#pragma once

#include "console/binary_files.h"
#include "console/channel_table.h"
#include "console/directory_search.h"
#include "interpreter/runtime.h"

namespace console {

struct FileSubsystems {
    ChannelTable channels;
    BinaryFiles binary_files;
    DirectorySearch directory_search;

    void attach(interpreter::Subsystems& subsystems)
    {
        subsystems.channels = &channels;
        subsystems.binary_files = &binary_files;
        subsystems.directory_search = &directory_search;
    }
};

}
