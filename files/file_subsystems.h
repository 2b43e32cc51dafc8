// SPDX-License-Identifier: GPL-3.0-or-later
// FileSubsystems: the state of the file commands, owned together and lent to a runtime.
#pragma once

#include "files/binary_files.h"
#include "files/channel_table.h"
#include "files/directory_search.h"
#include "interpreter/runtime.h"

namespace files {

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
