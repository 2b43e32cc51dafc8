// SPDX-License-Identifier: GPL-3.0-or-later
// MediaControl: the open media devices, driven by command strings and answering in text.
#include "media/media_control.h"

#include "platform/path_map.h"

#include <algorithm>

namespace media {

namespace {

using base::Error;

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
    // The stream of the play in progress (playing or paused); a stop or a
    // seek ends it, and the next play starts a new one.
    std::unique_ptr<SoundStream> stream;
    PlayMode mode = PlayMode::stopped;
    // Where a stopped device stands, in frames.
    int64_t position = 0;
    // The play in progress: the frame it started at, the next frame to
    // decode and the frame to stop at.
    int64_t start_frame = 0;
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

base::Result<std::string> MediaControl::run(const MediaCommand& command)
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
    case MediaVerb::play: {
        auto reply = play(*device, command);
        pump();
        return reply;
    }
    case MediaVerb::pause:
        if (device->mode == PlayMode::playing)
            halt(*device, PlayMode::paused);
        return std::string();
    case MediaVerb::resume:
        if (device->mode == PlayMode::paused) {
            device->stream->set_paused(false);
            device->mode = PlayMode::playing;
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
    case MediaVerb::set_audio:
        if (command.side != AudioSide::right)
            device->left_volume = command.volume;
        if (command.side != AudioSide::left)
            device->right_volume = command.volume;
        if (device->stream)
            device->stream->set_volume(device->left_volume, device->right_volume);
        return std::string();
    case MediaVerb::window:
        return std::string();
    case MediaVerb::open:
        break;
    }
    return Error { "unknown command" };
}

base::Result<std::string> MediaControl::open(const MediaCommand& command, bool auto_close)
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
    base::Result<std::unique_ptr<Decoder>> decoder = Error {};
    if (type == "mpegvideo")
        decoder = open_any_decoder(path);
    else if (type == "waveaudio")
        decoder = open_wave_decoder(path);
    else
        return Error { "unknown device '" + type + "'" };
    if (!decoder)
        return decoder.error();
    auto device = std::make_unique<Device>();
    device->id = free_id();
    device->alias = alias;
    device->auto_close = auto_close;
    device->decoder = std::move(*decoder);
    int id = device->id;
    m_devices.push_back(std::move(device));
    return std::to_string(id);
}

base::Result<std::string> MediaControl::play(Device& device, const MediaCommand& command)
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
    if (device.mode == PlayMode::paused && !command.from && !command.to) {
        // Play of a paused device goes on with the same stream.
        device.stream->set_paused(false);
        device.mode = PlayMode::playing;
    } else {
        halt(device, PlayMode::stopped);
        if (auto started = start_playing(device, from, to); !started)
            return started.error();
    }
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

base::Result<std::string> MediaControl::status(Device& device, const MediaCommand& command)
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
    case StatusItem::position:
        return std::to_string(device.to_units(heard_position(device)));
    case StatusItem::ready:
        return std::string("true");
    case StatusItem::time_format:
        return std::string(device.time_format == TimeFormat::samples ? "samples" : "milliseconds");
    }
    return Error { "unknown status item" };
}

base::Result<void> MediaControl::start_playing(Device& device, int64_t from, int64_t to)
{
    device.stream.reset();
    if (!device.decoder->seek(from))
        return Error { "the file cannot be read from there" };
    device.start_frame = from;
    device.next_frame = from;
    device.end_frame = to;
    device.position = from;
    // The stream belongs to the device and ends before it, so the source
    // never outlives the decoder it reads.
    Device* playing = &device;
    device.stream = m_mixer.open_stream({ device.decoder->rate(), device.decoder->channels() },
        [this, playing](std::span<int16_t> samples) { return read_source(*playing, samples); });
    if (!device.stream)
        return Error { "the sound output cannot play this file now" };
    device.stream->set_volume(device.left_volume, device.right_volume);
    device.mode = PlayMode::playing;
    return {};
}

size_t MediaControl::read_source(Device& device, std::span<int16_t> samples)
{
    auto channels = static_cast<size_t>(device.decoder->channels());
    auto room = static_cast<int64_t>(samples.size() / channels);
    int64_t wanted = std::min(room, device.end_frame - device.next_frame);
    if (wanted <= 0)
        return 0;
    size_t got = device.decoder->read(samples.first(static_cast<size_t>(wanted) * channels));
    device.next_frame += static_cast<int64_t>(got);
    // A file that ends (or cannot be decoded) before its length ends the
    // play there.
    if (static_cast<int64_t>(got) < wanted)
        device.end_frame = device.next_frame;
    return got;
}

void MediaControl::halt(Device& device, PlayMode mode)
{
    if (device.mode == PlayMode::stopped)
        return;
    if (mode == PlayMode::paused) {
        device.stream->set_paused(true);
    } else {
        device.position = heard_position(device);
        device.stream.reset();
    }
    device.mode = mode;
}

int64_t MediaControl::heard_position(const Device& device) const
{
    if (!device.stream)
        return device.position;
    auto heard = static_cast<int64_t>(device.stream->frames_heard());
    return std::min(device.start_frame + heard, device.end_frame);
}

void MediaControl::pump()
{
    for (auto& device : m_devices) {
        if (device->mode != PlayMode::playing || device->stream->playing())
            continue;
        device->position = device->end_frame;
        device->stream.reset();
        device->mode = PlayMode::stopped;
    }
    // A file opened by "play FILE" is closed as soon as it no longer plays,
    // however its play ended (or failed to start), so none is left open.
    std::erase_if(m_devices, [](const auto& device) { return device->auto_close && device->mode == PlayMode::stopped; });
}

bool MediaControl::playing() const
{
    return std::ranges::any_of(m_devices, [](const auto& device) { return device->mode == PlayMode::playing; });
}

}
