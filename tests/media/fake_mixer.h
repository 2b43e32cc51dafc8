// SPDX-License-Identifier: GPL-3.0-or-later
// FakeMixer: a sound output for tests that hears its streams only when told to.
#pragma once

#include "media/sound_mixer.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace media_test {

// What one stream was given and what of it has been heard; it outlives the
// stream, so a test can look at the sound of a device already closed.
struct StreamRecord {
    int rate = 0;
    int channels = 0;
    bool open = true;
    std::deque<int16_t> queue;
    std::vector<int16_t> heard;
    size_t cleared_frames = 0;
};

class FakeStream final : public media::SoundStream {
public:
    explicit FakeStream(std::shared_ptr<StreamRecord> record)
        : m_record(std::move(record))
    {
    }
    ~FakeStream() override { m_record->open = false; }
    void write(std::span<const int16_t> samples) override { m_record->queue.insert(m_record->queue.end(), samples.begin(), samples.end()); }
    size_t queued_frames() const override { return m_record->queue.size() / static_cast<size_t>(m_record->channels); }
    void clear() override
    {
        m_record->cleared_frames += queued_frames();
        m_record->queue.clear();
    }

private:
    std::shared_ptr<StreamRecord> m_record;
};

class FakeMixer final : public media::SoundMixer {
public:
    std::unique_ptr<media::SoundStream> open_stream(int rate, int channels) override
    {
        if (refuse_streams)
            return nullptr;
        auto record = std::make_shared<StreamRecord>();
        record->rate = rate;
        record->channels = channels;
        records.push_back(record);
        return std::make_unique<FakeStream>(record);
    }

    // Lets `milliseconds` of every open stream be heard, 10 ms at a time,
    // calling `pump` after each step as the event loop would.
    void play_for(int milliseconds, const std::function<void()>& pump)
    {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += 10) {
            for (auto& record : records) {
                if (!record->open)
                    continue;
                size_t samples = static_cast<size_t>(record->rate / 100 * record->channels);
                samples = std::min(samples, record->queue.size());
                record->heard.insert(record->heard.end(), record->queue.begin(), record->queue.begin() + static_cast<long>(samples));
                record->queue.erase(record->queue.begin(), record->queue.begin() + static_cast<long>(samples));
            }
            if (pump)
                pump();
        }
    }

    std::vector<std::shared_ptr<StreamRecord>> records;
    bool refuse_streams = false;
};

}
