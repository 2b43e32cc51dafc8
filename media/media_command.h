// SPDX-License-Identifier: GPL-3.0-or-later
// MediaCommand: one media-control command string, parsed.
#pragma once

#include "base/result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace media {

enum class MediaVerb {
    open,
    play,
    pause,
    resume,
    stop,
    close,
    seek,
    status,
    set,
    set_audio,
    window,
};

enum class StatusItem { mode, length, position, ready, time_format };
enum class SeekPlace { position, start, end };
enum class TimeFormat { milliseconds, samples };
enum class AudioSide { both, left, right };

// Scripts write the commands of the platform they were written for, e.g.
//     open "mpegvideo!c:\musica\a.mp3" alias musica
//     play musica from 5000 to 9000
//     status musica position
// Keywords are matched without regard to case; a name may be quoted to hold
// blanks. The grammar is listed in the README.
struct MediaCommand {
    MediaVerb verb = MediaVerb::status;
    // The alias, or for "open" and an "play" of a file the element: a file
    // name with any "device!" prefix removed.
    std::string target;
    // Lower-case device type from a "device!" prefix or "type"; empty when
    // the file's extension decides.
    std::string device_type;
    // "open" only: the alias given, empty for none.
    std::string alias;

    std::optional<int64_t> from;
    std::optional<int64_t> to;

    SeekPlace seek_place = SeekPlace::position;
    int64_t seek_to = 0;

    StatusItem status_item = StatusItem::mode;
    TimeFormat time_format = TimeFormat::milliseconds;

    AudioSide side = AudioSide::both;
    int volume = 1000;

    // "wait" asks the command to return only when playing has ended.
    bool wait = false;
};

// The largest position or volume a command may carry; larger numbers are
// refused instead of overflowing the arithmetic of positions.
constexpr int64_t max_media_number = int64_t(1) << 40;

base::Result<MediaCommand> parse_media_command(std::string_view text);

}
