// SPDX-License-Identifier: GPL-3.0-or-later
// media_measures: what playing music and starting MIDI cost.
//
// Usage: media_measures FILE.mp3 [SOUNDFONT]
// Plays through the real sound output into a null device that keeps real
// time, and prints:
//  - open: wall time of "open" (the decoder reads the whole file once, to
//    know its length), which TOCA and "play FILE" spend before "play";
//  - play: wall time from "play" to the first block queued on the device;
//  - cpu: processor time over wall time while the whole file plays
//    (decoding, mixing and the waits of the event loop), in % of one core;
//  - midi: resident memory before "MIDI INICIA", after it (with a note
//    playing), and after "MIDI TERMINA".
#include "audio/event_port.h"
#include "audio/wave_output.h"
#include "media/media_state.h"
#include "media/output_streams.h"
#include "platform/clock.h"
#include "platform/headless/null_audio_device.h"
#include "platform/path_map.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

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

// The null device, noting when the first block arrives.
class TimedDevice final : public platform::AudioDevice {
public:
    explicit TimedDevice(platform::AudioDevice& inner)
        : m_inner(inner)
    {
    }
    std::vector<std::string> device_names() override { return m_inner.device_names(); }
    base::Result<void> open(int index, platform::PcmFormat format, platform::AudioEvents& events) override
    {
        return m_inner.open(index, format, events);
    }
    void close() override { m_inner.close(); }
    bool is_open() const override { return m_inner.is_open(); }
    void queue_block(std::span<const uint8_t> block, int tag) override
    {
        if (!first_block)
            first_block = Steady::now();
        m_inner.queue_block(block, tag);
    }
    void reset() override { m_inner.reset(); }
    void poll() override { m_inner.poll(); }
    int next_report_ms() const override { return m_inner.next_report_ms(); }

    std::optional<Steady::time_point> first_block;

private:
    platform::AudioDevice& m_inner;
};

// The event loop of a program that only waits.
class SleepingPort final : public audio::EventPort {
public:
    bool key_waiting() override { return false; }
    void wait_event(int timeout_ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(std::max(0, timeout_ms))); }
};

}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: media_measures FILE.mp3 [SOUNDFONT]\n");
        return 2;
    }
    std::string soundfont = argc > 2 ? argv[2] : media::default_soundfont;
    platform::SystemClock clock;
    platform::NullAudioDevice null_device(clock, false);
    TimedDevice device(null_device);
    SleepingPort port;
    platform::PathMap paths("");
    audio::WaveOutput wave(device, port, paths);
    media::OutputStreams streams(wave);
    media::MediaState state(streams, paths, soundfont);
    auto& control = state.control();

    auto opening = Steady::now();
    if (control.send(std::string("open \"mpegvideo!") + argv[1] + "\" alias m") != "1") {
        std::fprintf(stderr, "cannot open %s: %s\n", argv[1], control.last_error().c_str());
        return 1;
    }
    double open_ms = std::chrono::duration<double, std::milli>(Steady::now() - opening).count();
    double length_s = std::stod(control.send("status m length")) / 1000;
    auto started = Steady::now();
    control.send("play m");
    if (!device.first_block) {
        std::fprintf(stderr, "no block was queued by play\n");
        return 1;
    }
    double play_ms = std::chrono::duration<double, std::milli>(*device.first_block - started).count();
    std::clock_t cpu_start = std::clock();
    while (control.send("status m mode") == "playing") {
        wave.wait_event(50);
        state.pump();
    }
    double cpu_s = double(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    double wall_s = std::chrono::duration<double>(Steady::now() - started).count();
    control.send("close m");
    std::printf("open: %.2f ms for \"open\" of %.1f s of music\n", open_ms, length_s);
    std::printf("play: %.2f ms from \"play\" to the first block queued\n", play_ms);
    std::printf("cpu: %.3f s of processor time in %.1f s playing %.1f s of music: %.2f%% of one core\n", cpu_s, wall_s,
        length_s, 100 * cpu_s / wall_s);

    long before = resident_kib();
    state.start_midi();
    if (!state.midi_error().empty())
        std::fprintf(stderr, "midi: %s\n", state.midi_error().c_str());
    state.send_midi(144 + 256 * 60 + 65536 * 100);
    for (int i = 0; i < 10; ++i) {
        wave.wait_event(50);
        state.pump();
    }
    long started_kib = resident_kib();
    state.stop_midi();
    long after = resident_kib();
    std::printf("midi: resident %ld KiB before INICIA, %ld KiB after, %ld KiB after TERMINA\n", before, started_kib, after);
    return 0;
}
