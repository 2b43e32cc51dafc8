// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the media-control command parser.
#include "media/media_command.h"

#include <gtest/gtest.h>

namespace {

using namespace media;

// The parsed command in one line, with only the fields its verb uses.
std::string describe(const MediaCommand& command)
{
    static constexpr const char* verbs[] = { "open", "play", "pause", "resume", "stop", "close", "seek", "status", "set",
        "setaudio", "window" };
    std::string text = verbs[static_cast<int>(command.verb)];
    text += " [" + command.target + "]";
    if (!command.device_type.empty())
        text += " device=" + command.device_type;
    if (!command.alias.empty())
        text += " alias=" + command.alias;
    if (command.from)
        text += " from=" + std::to_string(*command.from);
    if (command.to)
        text += " to=" + std::to_string(*command.to);
    if (command.wait)
        text += " wait";
    switch (command.verb) {
    case MediaVerb::seek:
        text += command.seek_place == SeekPlace::start ? " start" : command.seek_place == SeekPlace::end ? " end" : " at=" + std::to_string(command.seek_to);
        break;
    case MediaVerb::status: {
        static constexpr const char* items[] = { "mode", "length", "position", "ready", "time format" };
        text += std::string(" ") + items[static_cast<int>(command.status_item)];
        break;
    }
    case MediaVerb::set:
        text += command.time_format == TimeFormat::samples ? " samples" : " milliseconds";
        break;
    case MediaVerb::set_audio:
        text += command.side == AudioSide::left ? " left" : command.side == AudioSide::right ? " right" : " both";
        text += "=" + std::to_string(command.volume);
        break;
    default:
        break;
    }
    return text;
}

struct Case {
    const char* input;
    const char* expected; // "error" for a command that is refused
};

constexpr Case cases[] = {
    // Opening: quoted names with blanks, device prefixes inside or outside
    // the quotes, "type", and no alias at all.
    { R"(open "c:\musica\a b.mp3" alias musica)", R"(open [c:\musica\a b.mp3] alias=musica)" },
    { R"(open "mpegvideo!c:\nubrado\temp\x.mp3" alias musica)", R"(open [c:\nubrado\temp\x.mp3] device=mpegvideo alias=musica)" },
    { R"(open waveaudio!c:\sons\bip.wav alias b)", R"(open [c:\sons\bip.wav] device=waveaudio alias=b)" },
    { R"(OPEN c:\a.mp3 TYPE MpegVideo ALIAS Som wait)", R"(open [c:\a.mp3] device=mpegvideo alias=Som wait)" },
    { R"(open c:\a.wav)", R"(open [c:\a.wav])" },
    { R"(open c:\a.wav shareable notify alias x)", R"(open [c:\a.wav] alias=x)" },
    { R"(open "c:\a.wav)", "error" },
    { R"(open c:\a.wav alias)", "error" },
    { R"(open c:\a.wav type)", "error" },
    { R"(open "" alias x)", "error" },
    { R"(open !c:\a.wav alias x)", "error" },
    { R"(open mpegvideo! alias x)", "error" },
    { R"(open c:\a.wav alias x extra)", "error" },
    { R"(open)", "error" },
    // Playing, with and without a range; a file played without opening.
    { "play musica", "play [musica]" },
    { "play musica from 1", "play [musica] from=1" },
    { "Play Musica From 5000 To 9000 notify", "play [Musica] from=5000 to=9000" },
    { "play musica to 300 wait", "play [musica] to=300 wait" },
    { R"(play "c:\x y\a.mp3")", R"(play [c:\x y\a.mp3])" },
    { R"(play mpegvideo!c:\a.mp3)", R"(play [c:\a.mp3] device=mpegvideo)" },
    { "play musica from", "error" },
    { "play musica from -3000", "error" },
    { "play musica from 12x", "error" },
    { "play musica from 99999999999999", "error" },
    { "play musica loudly", "error" },
    // The one-word commands.
    { "pause musica", "pause [musica]" },
    { "resume musica", "resume [musica]" },
    { "stop musica", "stop [musica]" },
    { "close musica", "close [musica]" },
    { "close all", "close [all]" },
    { "close musica wait", "close [musica] wait" },
    { "stop", "error" },
    { "pause musica now", "error" },
    // Seeking.
    { "seek musica to 5000", "seek [musica] at=5000" },
    { "seek musica to start", "seek [musica] start" },
    { "SEEK musica TO END", "seek [musica] end" },
    { "seek musica 5000", "error" },
    { "seek musica to", "error" },
    { "seek musica to middle", "error" },
    // Status items.
    { "status musica mode", "status [musica] mode" },
    { "status musica length", "status [musica] length" },
    { "status musica position", "status [musica] position" },
    { "status musica ready", "status [musica] ready" },
    { "status musica time format", "status [musica] time format" },
    { "status musica", "error" },
    { "status musica volume", "error" },
    { "status musica mode mode", "error" },
    // Time formats and volumes.
    { "set musica time format milliseconds", "set [musica] milliseconds" },
    { "set musica time format ms", "set [musica] milliseconds" },
    { "set musica time format samples", "set [musica] samples" },
    { "set musica time format frames", "error" },
    { "set musica door open", "error" },
    { "setaudio musica left volume to 500", "setaudio [musica] left=500" },
    { "setaudio musica right volume to 0", "setaudio [musica] right=0" },
    { "setaudio musica volume to 1000", "setaudio [musica] both=1000" },
    { "setaudio musica all volume to 20", "setaudio [musica] both=20" },
    { "setaudio musica left volume to 1001", "error" },
    { "setaudio musica left volume 500", "error" },
    { "setaudio musica left volume to", "error" },
    // The window of a video: accepted, but a handle is a number.
    { "window musica handle 12345", "window [musica]" },
    { "window musica state hide", "window [musica]" },
    { "window musica handle janela", "error" },
    // Anything else.
    { "", "error" },
    { "   ", "error" },
    { "record musica", "error" },
    { R"("play" musica)", "error" },
};

TEST(MediaCommand, ParsesEveryFormOfTheGrammar)
{
    for (const auto& test_case : cases) {
        auto parsed = parse_media_command(test_case.input);
        std::string got = parsed ? describe(*parsed) : "error";
        EXPECT_EQ(got, test_case.expected) << "command: " << test_case.input;
        if (!parsed) {
            EXPECT_FALSE(parsed.error().message.empty()) << "command: " << test_case.input;
        }
    }
}

}
