// SPDX-License-Identifier: GPL-3.0-or-later
// FakeMixer: a sound output for tests that hears its streams only when told to.
#pragma once

#include "media/sound_mixer.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace media_test {

// What one stream gave and how it was handled; it outlives the stream, so
// a test can look at the sound of a device already closed. `heard` holds
// the samples at the stream's volume, as a listener hears them.
struct StreamRecord {
    media::StreamFormat format;
    media::StreamSource source;
    bool open = true;
    bool paused = false;
    bool ended = false;
    int left = 1000;
    int right = 1000;
    uint64_t frames_heard = 0;
    std::vector<int16_t> heard;
};

class FakeStream final : public media::SoundStream {
public:
    explicit FakeStream(std::shared_ptr<StreamRecord> record)
        : m_record(std::move(record))
    {
    }
    ~FakeStream() override
    {
        m_record->open = false;
        m_record->source = nullptr;
    }
    void set_paused(bool paused) override { m_record->paused = paused; }
    void set_volume(int left, int right) override
    {
        m_record->left = left;
        m_record->right = right;
    }
    bool playing() const override { return !m_record->ended; }
    uint64_t frames_heard() const override { return m_record->frames_heard; }

private:
    std::shared_ptr<StreamRecord> m_record;
};

class FakeMixer final : public media::SoundMixer {
public:
    std::unique_ptr<media::SoundStream> open_stream(media::StreamFormat format, media::StreamSource source) override
    {
        if (refuse_streams)
            return nullptr;
        auto record = std::make_shared<StreamRecord>();
        record->format = format;
        record->source = std::move(source);
        records.push_back(record);
        return std::make_unique<FakeStream>(record);
    }

    // Lets `milliseconds` of every sounding stream be heard, 10 ms at a
    // time, calling `pump` after each step as the event loop would.
    void play_for(int milliseconds, const std::function<void()>& pump)
    {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += 10) {
            for (auto& record : records) {
                if (record->open && !record->paused && !record->ended)
                    hear(*record, static_cast<size_t>(record->format.rate / 100));
            }
            if (pump)
                pump();
        }
    }

    std::vector<std::shared_ptr<StreamRecord>> records;
    bool refuse_streams = false;

private:
    static void hear(StreamRecord& record, size_t frames)
    {
        auto channels = static_cast<size_t>(record.format.channels);
        std::vector<int16_t> samples(frames * channels);
        size_t got = record.source(samples);
        if (got < frames)
            record.ended = true;
        for (size_t i = 0; i < got * channels; ++i) {
            int volume = channels == 1 ? (record.left + record.right) / 2 : (i % 2 == 0 ? record.left : record.right);
            record.heard.push_back(static_cast<int16_t>(samples[i] * volume / 1000));
        }
        record.frames_heard += got;
    }
};

}
