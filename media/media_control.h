// SPDX-License-Identifier: GPL-3.0-or-later
// MediaControl: the open media devices, driven by command strings and answering in text.
#pragma once

#include "media/decoder.h"
#include "media/media_command.h"
#include "media/sound_mixer.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class PathMap;
}

namespace media {

enum class PlayMode { stopped, playing, paused };

// Scripts drive music with the command strings of the platform they were
// written for ("open ... alias musica", "play musica", "status musica
// position") and read the answers as text. Every open file is a device
// under an alias, with its own decoder, stream, position and volume; each
// plays into its own stream of the mixer, so several play at once and
// over speech.
//
// A command that fails answers the empty text, as the original did, and
// keeps the reason for last_error(); a script sees the failure as an
// empty answer where a number or a mode was due ("open" answers the
// device's number, from 1).
class MediaControl {
public:
    MediaControl(SoundMixer& mixer, const platform::PathMap& paths);
    ~MediaControl();
    MediaControl(const MediaControl&) = delete;
    MediaControl& operator=(const MediaControl&) = delete;

    // Runs one command string and answers it.
    std::string send(std::string_view command_text);
    // Why the last command failed; empty after a command that succeeded.
    const std::string& last_error() const { return m_last_error; }

    // Notices the devices whose play has ended. Called by every wait of
    // the event loop.
    void pump();
    // True while some device plays.
    bool playing() const;
    // How "play ... wait" waits: lets time pass, returns false when the
    // wait should end early (a key). Without it "wait" returns at once.
    void set_waiter(std::function<bool()> waiter) { m_waiter = std::move(waiter); }

    // The most devices open at once; a script that opens without closing
    // fails here instead of exhausting file handles and memory.
    static constexpr size_t max_devices = 32;

private:
    struct Device;

    base::Result<std::string> run(const MediaCommand& command);
    base::Result<std::string> open(const MediaCommand& command, bool auto_close);
    base::Result<std::string> play(Device& device, const MediaCommand& command);
    base::Result<std::string> status(Device& device, const MediaCommand& command);
    base::Result<void> start_playing(Device& device, int64_t from, int64_t to);
    void halt(Device& device, PlayMode mode);
    size_t read_source(Device& device, std::span<int16_t> samples);
    int64_t heard_position(const Device& device) const;
    Device* find(std::string_view alias);
    void close(Device& device);
    int free_id() const;

    SoundMixer& m_mixer;
    const platform::PathMap& m_paths;
    std::vector<std::unique_ptr<Device>> m_devices;
    std::string m_last_error;
    std::function<bool()> m_waiter;
};

}
