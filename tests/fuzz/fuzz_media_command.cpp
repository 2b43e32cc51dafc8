// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the media-control command parser with arbitrary command strings.
#include "media/media_command.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto command = media::parse_media_command(text);
    if (!command) {
        // Every refusal says why.
        if (command.error().message.empty())
            std::abort();
        return 0;
    }
    // What is accepted names something, and its numbers are in range.
    if (command->target.empty() || command->volume < 0 || command->volume > 1000)
        std::abort();
    for (auto number : { command->from, command->to }) {
        if (number && (*number < 0 || *number > media::max_media_number))
            std::abort();
    }
    if (command->seek_to < 0 || command->seek_to > media::max_media_number)
        std::abort();
    // A command is made of the text's own words: nothing longer comes out.
    if (command->target.size() > size || command->alias.size() > size || command->device_type.size() > size)
        std::abort();
    return 0;
}
