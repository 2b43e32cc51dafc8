// SPDX-License-Identifier: GPL-3.0-or-later
// media_measures: what playing music and starting MIDI cost.
//
// Usage: media_measures FILE.mp3 [SOUNDFONT]
// Prints three figures:
//  - decode: processor time to decode the whole file through a media
//    device, as a share of one core over the file's length (the cost of
//    the music while it plays, without the output's mixing);
//  - play: wall time from "play" to the first samples the output takes;
//  - midi: resident memory before "MIDI INICIA", after it, and after
//    "MIDI TERMINA".
#include "media/media_state.h"
#include "platform/path_map.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;

long resident_kib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// An output that takes a stream's samples only when told to.
class PullingMixer final : public media::SoundMixer {
public:
    struct Pulled final : media::SoundStream {
        media::StreamFormat format;
        media::StreamSource source;
        bool ended = false;
        uint64_t heard = 0;
        void set_paused(bool) override { }
        void set_volume(int, int) override { }
        bool playing() const override { return !ended; }
        uint64_t frames_heard() const override { return heard; }
    };
    std::unique_ptr<media::SoundStream> open_stream(media::StreamFormat format, media::StreamSource source) override
    {
        auto stream = std::make_unique<Pulled>();
        stream->format = format;
        stream->source = std::move(source);
        last = stream.get();
        return stream;
    }
    // Pulls one block of 1024 frames; false at the end.
    bool pull()
    {
        std::vector<int16_t> samples(1024 * static_cast<size_t>(last->format.channels));
        size_t got = last->source(samples);
        last->heard += got;
        last->ended = got < 1024;
        return !last->ended;
    }
    Pulled* last = nullptr;
};

}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: media_measures FILE.mp3 [SOUNDFONT]\n");
        return 2;
    }
    std::string soundfont = argc > 2 ? argv[2] : media::default_soundfont;
    PullingMixer mixer;
    platform::PathMap paths("");
    media::MediaState state(mixer, paths, soundfont);
    auto& control = state.control();

    if (control.send(std::string("open \"mpegvideo!") + argv[1] + "\" alias m") != "1") {
        std::fprintf(stderr, "cannot open %s: %s\n", argv[1], control.last_error().c_str());
        return 1;
    }
    double length_s = std::stod(control.send("status m length")) / 1000;
    auto started = Steady::now();
    control.send("play m");
    mixer.pull();
    double play_ms = std::chrono::duration<double, std::milli>(Steady::now() - started).count();
    std::clock_t cpu_start = std::clock();
    while (mixer.pull()) { }
    double cpu_s = double(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    control.send("close m");
    std::printf("decode: %.3f s of processor time for %.1f s of music: %.2f%% of one core\n", cpu_s, length_s,
        100 * cpu_s / length_s);
    std::printf("play: %.2f ms from \"play\" to the first block\n", play_ms);

    long before = resident_kib();
    state.start_midi();
    if (!state.midi_error().empty())
        std::fprintf(stderr, "midi: %s\n", state.midi_error().c_str());
    state.send_midi(144 + 256 * 60 + 65536 * 100);
    mixer.pull();
    long started_kib = resident_kib();
    state.stop_midi();
    long after = resident_kib();
    std::printf("midi: resident %ld KiB before INICIA, %ld KiB after, %ld KiB after TERMINA\n", before, started_kib, after);
    return 0;
}
