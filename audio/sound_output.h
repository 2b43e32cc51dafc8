// SPDX-License-Identifier: GPL-3.0-or-later
// SoundOutput: the one way to the loudspeaker for speech, clicks, tones, alarms and media.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace audio {

// A sound that plays beside the speech ring, mixed with it: music, a MIDI
// synthesiser. A key that stops speech leaves streams playing, and a stream
// never holds speech back.
//
// The stream's source is pulled on the event loop's thread, whenever the
// output needs more sound (every wait pumps it), in chunks of up to a few
// thousand frames; it must answer without blocking. Samples are signed
// 16-bit, interleaved when there are two channels. Each handle belongs to
// the output that opened it and must be destroyed before that output is;
// destroying it stops the stream. Up to about 0.2 seconds of a stream is
// mixed ahead of the device, and the source's frames are read ahead of
// that: to seek, stop the stream and open a new one at the new place.
class Stream {
public:
    virtual ~Stream() = default;

    // Paused streams keep their place and give no sound.
    virtual void set_paused(bool paused) = 0;
    // Per thousand for each side, 0 to 1000; a mono source feeds both.
    virtual void set_volume(int left, int right) = 0;
    // Ends the stream: the source is not asked again, and what is not yet
    // queued for the device is dropped.
    virtual void stop() = 0;
    // True until the stream is stopped, or its source has ended and
    // everything it gave has been heard.
    virtual bool playing() const = 0;
    // The source's frames heard so far (at the source's rate), for a
    // player's position.
    virtual uint64_t frames_heard() const = 0;
};

struct StreamFormat {
    int rate = 44100; // 1000 to 192000
    int channels = 2; // 1 or 2
};

// Fills `samples` (a whole number of frames) and returns the frames
// written; fewer than asked means the source has ended.
using StreamSource = std::function<size_t(std::span<int16_t> samples)>;

// The speech ring is the original program's wave output: sounds queue one
// after another in blocks, a waiting key stops them (with `stop_on_key`),
// and waits keep events flowing. Everything else that makes a sound goes
// through the same output, so one device and one recording (--audio) hear
// it all.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    // The speech ring. play_wave_file and play_wave_image give 0 when
    // played, -1 when the sound is missing or not a RIFF wave, or a device
    // error code; `windows_path` is named the script's way.
    virtual int play_wave_file(std::string_view windows_path) = 0;
    virtual int play_wave_image(std::span<const uint8_t> image) = 0;
    virtual int play_samples(std::span<const uint8_t> data, int rate, int channels, int bits) = 0;
    // True while ring blocks are queued; a waiting key (with `stop_on_key`)
    // stops them first.
    virtual bool wave_busy() = 0;
    // Drops everything the ring has queued; streams play on.
    virtual void wave_stop() = 0;
    // Waits for the next event or up to `timeout_ms`, taking the device's
    // reports on the way.
    virtual void wait_event(int timeout_ms) = 0;

    // Starts a stream mixed with the ring; nothing when the device cannot
    // be opened or the format is not one a sound card takes.
    virtual std::unique_ptr<Stream> open_stream(StreamFormat format, StreamSource source) = 0;

    // ALARME's tone (make_alarm_image) for its whole length, through the ring.
    virtual void play_tone(int frequency, int duration_ms);
    // The console's tone: stops the ring, then plays the image on it without
    // waiting, and a waiting key does not cut it.
    virtual void start_tone(std::span<const uint8_t> image);
    virtual void stop_tone();

    // The ring's flags: a waiting key stops it; a played file returns
    // without waiting for its end (set by the line editor); the speed
    // settings' fast playback and speech cutting.
    bool stop_on_key = true;
    bool async_play = false;
    bool fast_playback = false;
    bool speech_cutting = false;
};

}
