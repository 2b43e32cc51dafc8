// SPDX-License-Identifier: GPL-3.0-or-later
// Mixer: the streams that play beside the speech ring, summed into the device's blocks.
#include "audio/mixer.h"

#include <algorithm>
#include <cmath>

namespace audio {

namespace {

// One sample of one channel as a signed 16-bit value.
int sample_at(std::span<const uint8_t> data, platform::PcmFormat format, size_t frame, int channel)
{
    size_t index = frame * static_cast<size_t>(format.block_align()) + static_cast<size_t>(channel * format.bits / 8);
    if (format.bits == 8)
        return (static_cast<int>(data[index]) - 128) * 256;
    return static_cast<int16_t>(static_cast<uint16_t>(data[index] | (data[index + 1] << 8)));
}

// Sources are read in chunks of this many frames.
constexpr size_t read_chunk_frames = 2048;

// Makes sure that the frame after `position` is in the input, reading the
// source as needed; false when the source has nothing more to give.
bool fill_input(Mixer::StreamState& stream)
{
    auto channels = static_cast<size_t>(stream.format.channels);
    auto first = static_cast<size_t>(stream.position);
    while (stream.input.size() / channels < first + 2 && !stream.source_ended) {
        // Frames already passed are dropped before more are read.
        if (first > 0) {
            stream.input.erase(stream.input.begin(), stream.input.begin() + static_cast<long>(first * channels));
            stream.dropped_frames += first;
            stream.position -= static_cast<double>(first);
            first = 0;
        }
        size_t had = stream.input.size();
        stream.input.resize(had + read_chunk_frames * channels);
        size_t got = stream.source ? stream.source(std::span(stream.input.data() + had, read_chunk_frames * channels)) : 0;
        got = std::min(got, read_chunk_frames);
        stream.input.resize(had + got * channels);
        if (got < read_chunk_frames)
            stream.source_ended = true;
    }
    return first < stream.input.size() / channels;
}

}

std::vector<int16_t> convert_to_mix(std::span<const uint8_t> data, platform::PcmFormat format)
{
    std::vector<int16_t> frames;
    if (format.rate <= 0 || format.block_align() <= 0)
        return frames;
    size_t frames_in = data.size() / static_cast<size_t>(format.block_align());
    if (frames_in == 0)
        return frames;
    auto frames_out = static_cast<size_t>(static_cast<uint64_t>(frames_in) * static_cast<uint64_t>(mix_format.rate) / static_cast<uint64_t>(format.rate));
    frames.reserve(frames_out * 2);
    double step = static_cast<double>(format.rate) / mix_format.rate;
    for (size_t out = 0; out < frames_out; ++out) {
        double position = static_cast<double>(out) * step;
        auto frame = std::min(frames_in - 1, static_cast<size_t>(position));
        size_t next = std::min(frames_in - 1, frame + 1);
        double fraction = position - static_cast<double>(frame);
        for (int channel = 0; channel < 2; ++channel) {
            int source_channel = format.channels == 2 ? channel : 0;
            double a = sample_at(data, format, frame, source_channel);
            double b = sample_at(data, format, next, source_channel);
            frames.push_back(static_cast<int16_t>(std::lround(a + (b - a) * fraction)));
        }
    }
    return frames;
}

std::shared_ptr<Mixer::StreamState> Mixer::add(StreamFormat format, StreamSource source)
{
    auto stream = std::make_shared<StreamState>();
    stream->format = format;
    stream->source = std::move(source);
    m_streams.push_back(stream);
    return stream;
}

bool Mixer::has_sound() const
{
    return std::any_of(m_streams.begin(), m_streams.end(), [](const auto& stream) { return stream->sounding(); });
}

bool Mixer::has_streams() const
{
    return !m_streams.empty();
}

size_t Mixer::mix_into(std::span<int32_t> mix, int tag)
{
    size_t reached = 0;
    size_t frames = mix.size() / 2;
    for (auto& stream : m_streams) {
        if (!stream->sounding())
            continue;
        auto channels = static_cast<size_t>(stream->format.channels);
        double step = static_cast<double>(stream->format.rate) / mix_format.rate;
        size_t frame = 0;
        for (; frame < frames; ++frame) {
            if (!fill_input(*stream)) {
                stream->drained = true;
                break;
            }
            auto first = static_cast<size_t>(stream->position);
            size_t available = stream->input.size() / channels;
            size_t next = std::min(available - 1, first + 1);
            double fraction = stream->position - static_cast<double>(first);
            for (size_t side = 0; side < 2; ++side) {
                size_t channel = channels == 2 ? side : 0;
                double a = stream->input[first * channels + channel];
                double b = stream->input[next * channels + channel];
                int volume = side == 0 ? stream->volume_left : stream->volume_right;
                mix[frame * 2 + side] += static_cast<int32_t>(std::lround((a + (b - a) * fraction) * volume / 1000.0));
            }
            stream->position += step;
        }
        reached = std::max(reached, frame);
        if (frame > 0)
            stream->in_flight.emplace_back(tag, stream->dropped_frames + static_cast<uint64_t>(stream->position));
    }
    return reached;
}

void Mixer::block_heard(int tag)
{
    for (auto& stream : m_streams) {
        while (!stream->in_flight.empty() && stream->in_flight.front().first <= tag) {
            stream->frames_heard = stream->in_flight.front().second;
            stream->in_flight.pop_front();
        }
    }
    drop_closed();
}

void Mixer::drop_closed()
{
    // A stream whose handle is gone leaves once nothing of it is playing.
    std::erase_if(m_streams, [](const auto& stream) { return stream->closed && stream->in_flight.empty(); });
}

}
