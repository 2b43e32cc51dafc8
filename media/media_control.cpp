// SPDX-License-Identifier: GPL-3.0-or-later
// MediaControl: the open media devices, driven by command strings and answering in text.
#include "media/media_control.h"

#include "platform/path_map.h"

#include <algorithm>

namespace media {

namespace {

using platform::Error;

// How far a playing stream is kept ahead of what has been heard: enough to
// ride over a busy moment of the event loop, short enough that a stop, a
// seek or a new volume is heard at once (those clear what is queued).
constexpr int ahead_ms = 250;
constexpr size_t chunk_frames = 2048;

bool same_alias(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

std::string extension_of(std::string_view name)
{
    size_t dot = name.find_last_of('.');
    size_t separator = name.find_last_of("\\/");
    if (dot == std::string_view::npos || (separator != std::string_view::npos && separator > dot))
        return {};
    std::string extension(name.substr(dot + 1));
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return extension;
}

// The device that plays a file without a named type, by its extension.
std::string device_for_extension(std::string_view name)
{
    auto extension = extension_of(name);
    if (extension == "mp3" || extension == "mp2" || extension == "mpa" || extension == "mpga")
        return "mpegvideo";
    if (extension == "wav")
        return "waveaudio";
    return {};
}

}

struct MediaControl::Device {
    int id = 0;
    std::string alias;
    bool auto_close = false;
    std::unique_ptr<Decoder> decoder;
    std::unique_ptr<SoundStream> stream;
    PlayMode mode = PlayMode::stopped;
    // Where a stopped or paused device stands, in frames.
    int64_t position = 0;
    // While playing: the next frame to decode and the frame to stop at.
    int64_t next_frame = 0;
    int64_t end_frame = 0;
    TimeFormat time_format = TimeFormat::milliseconds;
    int left_volume = 1000;
    int right_volume = 1000;

    int64_t to_frames(int64_t units) const
    {
        if (time_format == TimeFormat::samples)
            return units;
        return units * decoder->rate() / 1000;
    }
    int64_t to_units(int64_t frames) const
    {
        if (time_format == TimeFormat::samples)
            return frames;
        return frames * 1000 / decoder->rate();
    }
};

MediaControl::MediaControl(SoundMixer& mixer, const platform::PathMap& paths)
    : m_mixer(mixer)
    , m_paths(paths)
{
}

MediaControl::~MediaControl() = default;

std::string MediaControl::send(std::string_view command_text)
{
    pump();
    m_last_error.clear();
    auto command = parse_media_command(command_text);
    if (!command) {
        m_last_error = command.error().message;
        return {};
    }
    auto reply = run(*command);
    if (!reply) {
        m_last_error = reply.error().message;
        return {};
    }
    return *reply;
}

MediaControl::Device* MediaControl::find(std::string_view alias)
{
    for (auto& device : m_devices) {
        if (same_alias(device->alias, alias))
            return device.get();
    }
    return nullptr;
}

int MediaControl::free_id() const
{
    for (int id = 1;; ++id) {
        bool used = std::ranges::any_of(m_devices, [id](const auto& device) { return device->id == id; });
        if (!used)
            return id;
    }
}

void MediaControl::close(Device& device)
{
    std::erase_if(m_devices, [&device](const auto& open) { return open.get() == &device; });
}

platform::Result<std::string> MediaControl::run(const MediaCommand& command)
{
    if (command.verb == MediaVerb::open)
        return open(command, false);

    bool all = same_alias(command.target, "all");
    if (all && (command.verb == MediaVerb::close || command.verb == MediaVerb::stop)) {
        if (command.verb == MediaVerb::close)
            m_devices.clear();
        for (auto& device : m_devices)
            halt(*device, PlayMode::stopped);
        return std::string();
    }

    Device* device = find(command.target);
    if (!device && command.verb == MediaVerb::play && !command.target.empty()) {
        // "play" of a file that is not open opens it for this one play and
        // closes it when the play ends.
        auto opened = open(command, true);
        if (!opened)
            return opened.error();
        device = find(command.target);
    }
    if (!device)
        return Error { "'" + command.target + "' is not an open device" };

    switch (command.verb) {
    case MediaVerb::play:
        return play(*device, command);
    case MediaVerb::pause:
        if (device->mode == PlayMode::playing)
            halt(*device, PlayMode::paused);
        return std::string();
    case MediaVerb::resume:
        if (device->mode == PlayMode::paused) {
            if (auto started = start_playing(*device, device->position, device->end_frame); !started)
                return started.error();
        }
        return std::string();
    case MediaVerb::stop:
        halt(*device, PlayMode::stopped);
        return std::string();
    case MediaVerb::close:
        close(*device);
        return std::string();
    case MediaVerb::seek: {
        halt(*device, PlayMode::stopped);
        int64_t length = device->decoder->length_frames();
        if (command.seek_place == SeekPlace::start) {
            device->position = 0;
        } else if (command.seek_place == SeekPlace::end) {
            device->position = length;
        } else {
            int64_t frame = device->to_frames(command.seek_to);
            if (frame > length)
                return Error { "the position is past the end" };
            device->position = frame;
        }
        return std::string();
    }
    case MediaVerb::status:
        return status(*device, command);
    case MediaVerb::set:
        device->time_format = command.time_format;
        return std::string();
    case MediaVerb::set_audio: {
        if (command.side != AudioSide::right)
            device->left_volume = command.volume;
        if (command.side != AudioSide::left)
            device->right_volume = command.volume;
        // The new volume is heard at once: what was queued at the old one
        // is dropped and decoded again.
        if (device->mode == PlayMode::playing) {
            int64_t end = device->end_frame;
            halt(*device, PlayMode::stopped);
            if (auto started = start_playing(*device, device->position, end); !started)
                return started.error();
        }
        return std::string();
    }
    case MediaVerb::window:
        return std::string();
    case MediaVerb::open:
        break;
    }
    return Error { "unknown command" };
}

platform::Result<std::string> MediaControl::open(const MediaCommand& command, bool auto_close)
{
    std::string alias = command.alias.empty() ? command.target : command.alias;
    if (find(alias))
        return Error { "the alias '" + alias + "' is already in use" };
    if (m_devices.size() >= max_devices)
        return Error { "too many devices are open" };
    std::string type = command.device_type.empty() ? device_for_extension(command.target) : command.device_type;
    if (type.empty())
        return Error { "no device plays files like '" + command.target + "'" };
    std::string path = m_paths.to_system(command.target);
    platform::Result<std::unique_ptr<Decoder>> decoder = Error {};
    if (type == "mpegvideo")
        decoder = open_any_decoder(path);
    else if (type == "waveaudio")
        decoder = open_wave_decoder(path);
    else
        return Error { "unknown device '" + type + "'" };
    if (!decoder)
        return decoder.error();
    auto stream = m_mixer.open_stream((*decoder)->rate(), (*decoder)->channels());
    if (!stream)
        return Error { "the sound output cannot take another stream" };
    auto device = std::make_unique<Device>();
    device->id = free_id();
    device->alias = alias;
    device->auto_close = auto_close;
    device->decoder = std::move(*decoder);
    device->stream = std::move(stream);
    int id = device->id;
    m_devices.push_back(std::move(device));
    return std::to_string(id);
}

platform::Result<std::string> MediaControl::play(Device& device, const MediaCommand& command)
{
    int64_t length = device.decoder->length_frames();
    int64_t from = command.from ? device.to_frames(*command.from) : -1;
    int64_t to = command.to ? device.to_frames(*command.to) : length;
    if (from > length || to > length)
        return Error { "the position is past the end" };
    if (from < 0)
        from = device.mode == PlayMode::playing ? heard_position(device) : device.position;
    if (to < from)
        return Error { "the end of the play comes before its start" };
    halt(device, PlayMode::stopped);
    if (auto started = start_playing(device, from, to); !started)
        return started.error();
    if (command.wait && m_waiter) {
        int id = device.id;
        auto still_playing = [this, id] {
            return std::ranges::any_of(m_devices, [id](const auto& open) { return open->id == id && open->mode == PlayMode::playing; });
        };
        while (still_playing() && m_waiter())
            pump();
    }
    return std::string();
}

platform::Result<std::string> MediaControl::status(Device& device, const MediaCommand& command)
{
    switch (command.status_item) {
    case StatusItem::mode:
        switch (device.mode) {
        case PlayMode::playing:
            return std::string("playing");
        case PlayMode::paused:
            return std::string("paused");
        case PlayMode::stopped:
            return std::string("stopped");
        }
        break;
    case StatusItem::length:
        return std::to_string(device.to_units(device.decoder->length_frames()));
    case StatusItem::position: {
        int64_t frame = device.mode == PlayMode::playing ? heard_position(device) : device.position;
        return std::to_string(device.to_units(frame));
    }
    case StatusItem::ready:
        return std::string("true");
    case StatusItem::time_format:
        return std::string(device.time_format == TimeFormat::samples ? "samples" : "milliseconds");
    }
    return Error { "unknown status item" };
}

platform::Result<void> MediaControl::start_playing(Device& device, int64_t from, int64_t to)
{
    if (!device.decoder->seek(from))
        return Error { "the file cannot be read from there" };
    device.stream->clear();
    device.next_frame = from;
    device.end_frame = to;
    device.position = from;
    device.mode = PlayMode::playing;
    // The first stretch is queued now, so that the sound starts with the
    // command rather than at the next turn of the event loop.
    fill(device);
    return {};
}

void MediaControl::halt(Device& device, PlayMode mode)
{
    if (device.mode == PlayMode::playing) {
        device.position = heard_position(device);
        device.stream->clear();
    }
    if (device.mode != PlayMode::stopped || mode == PlayMode::stopped)
        device.mode = mode;
}

int64_t MediaControl::heard_position(const Device& device) const
{
    auto queued = static_cast<int64_t>(device.stream->queued_frames());
    return std::max(device.position, device.next_frame - queued);
}

void MediaControl::fill(Device& device)
{
    auto channels = static_cast<size_t>(device.decoder->channels());
    auto ahead = static_cast<size_t>(device.decoder->rate()) * ahead_ms / 1000;
    m_buffer.resize(chunk_frames * channels);
    // At most one stretch per call, so that a stream that never drains
    // cannot make one call decode the whole file.
    for (size_t written = 0; written < ahead && device.next_frame < device.end_frame && device.stream->queued_frames() < ahead;) {
        size_t want = static_cast<size_t>(std::min<int64_t>(chunk_frames, device.end_frame - device.next_frame));
        size_t got = device.decoder->read(std::span(m_buffer.data(), want * channels));
        if (got == 0) {
            // The file ends (or cannot be decoded) before its length.
            device.end_frame = device.next_frame;
            break;
        }
        if (device.left_volume != 1000 || device.right_volume != 1000) {
            int mono = (device.left_volume + device.right_volume) / 2;
            for (size_t frame = 0; frame < got; ++frame) {
                for (size_t channel = 0; channel < channels; ++channel) {
                    int volume = channels == 1 ? mono : (channel == 0 ? device.left_volume : device.right_volume);
                    auto& sample = m_buffer[frame * channels + channel];
                    sample = static_cast<int16_t>(sample * volume / 1000);
                }
            }
        }
        device.stream->write(std::span<const int16_t>(m_buffer.data(), got * channels));
        device.next_frame += static_cast<int64_t>(got);
        written += got;
    }
}

void MediaControl::pump()
{
    std::vector<Device*> ended;
    for (auto& device : m_devices) {
        if (device->mode != PlayMode::playing)
            continue;
        fill(*device);
        if (device->next_frame >= device->end_frame && device->stream->queued_frames() == 0) {
            device->position = device->end_frame;
            device->mode = PlayMode::stopped;
            if (device->auto_close)
                ended.push_back(device.get());
        }
    }
    for (Device* device : ended)
        close(*device);
}

bool MediaControl::playing() const
{
    return std::ranges::any_of(m_devices, [](const auto& device) { return device->mode == PlayMode::playing; });
}

}
