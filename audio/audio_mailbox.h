// SPDX-License-Identifier: GPL-3.0-or-later
// AudioMailbox: carries "block played" reports from the audio thread to the event loop.
#pragma once

#include "platform/audio_device.h"

#include <functional>
#include <mutex>
#include <vector>

namespace audio {

// The device's thread only appends a tag here and wakes the loop; the wave
// output takes the tags on the loop's thread, so its counters are never
// touched from two threads.
class AudioMailbox final : public platform::AudioEvents {
public:
    // `wake` must be safe to call from any thread (a post to the event loop).
    void set_wake(std::function<void()> wake)
    {
        std::lock_guard lock(m_mutex);
        m_wake = std::move(wake);
    }

    void block_played(int tag) override
    {
        std::function<void()> wake;
        {
            std::lock_guard lock(m_mutex);
            m_tags.push_back(tag);
            wake = m_wake;
        }
        if (wake)
            wake();
    }

    std::vector<int> take()
    {
        std::lock_guard lock(m_mutex);
        std::vector<int> tags;
        tags.swap(m_tags);
        return tags;
    }

private:
    std::mutex m_mutex;
    std::vector<int> m_tags;
    std::function<void()> m_wake;
};

}
