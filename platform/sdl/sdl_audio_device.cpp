// SPDX-License-Identifier: GPL-3.0-or-later
// SdlAudioDevice: real sound through SDL2, with the block queue kept by our own callback.
#include "platform/sdl/sdl_audio_device.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <deque>
#include <mutex>
#include <vector>

namespace platform {

namespace {

// SDL pulls samples through a callback on its own thread. The blocks wait
// in our own queue, so the callback knows exactly when a block has been
// handed over to be heard, and a reset can drop everything between two
// callbacks. The callback period is kept short (256 frames, 23 ms at
// 11025 Hz) so that a stop is heard within about one period.
class SdlAudioDevice final : public AudioDevice {
public:
    SdlAudioDevice() = default;
    ~SdlAudioDevice() override
    {
        close();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    std::vector<std::string> device_names() override
    {
        std::vector<std::string> names;
        int count = SDL_GetNumAudioDevices(0);
        for (int i = 0; i < count; ++i) {
            const char* name = SDL_GetAudioDeviceName(i, 0);
            names.emplace_back(name ? name : "");
        }
        return names;
    }

    base::Result<void> open(int index, PcmFormat format, AudioEvents& events) override
    {
        close();
        SDL_AudioSpec wanted {};
        wanted.freq = format.rate;
        wanted.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        wanted.channels = static_cast<Uint8>(format.channels);
        wanted.samples = 256;
        wanted.callback = &SdlAudioDevice::fill;
        wanted.userdata = this;
        const char* name = index >= 0 ? SDL_GetAudioDeviceName(index, 0) : nullptr;
        SDL_AudioSpec obtained {};
        // No change allowed: SDL converts our format to the card's.
        m_device = SDL_OpenAudioDevice(name, 0, &wanted, &obtained, 0);
        if (m_device == 0)
            return base::Error { std::string("cannot open the sound device: ") + SDL_GetError() };
        m_events = &events;
        m_silence = format.bits == 8 ? 128 : 0;
        SDL_PauseAudioDevice(m_device, 0);
        return {};
    }

    void close() override
    {
        if (m_device == 0)
            return;
        reset();
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
        m_events = nullptr;
    }

    bool is_open() const override { return m_device != 0; }

    void queue_block(std::span<const uint8_t> block, int tag) override
    {
        if (m_device == 0)
            return;
        std::lock_guard lock(m_mutex);
        m_queue.push_back({ std::vector<uint8_t>(block.begin(), block.end()), tag, 0 });
    }

    void reset() override
    {
        if (m_device == 0)
            return;
        std::deque<Block> dropped;
        {
            std::lock_guard lock(m_mutex);
            dropped.swap(m_queue);
        }
        for (auto& block : dropped)
            m_events->block_played(block.tag);
    }

private:
    struct Block {
        std::vector<uint8_t> data;
        int tag = 0;
        size_t position = 0;
    };

    static void fill(void* user, Uint8* stream, int length)
    {
        static_cast<SdlAudioDevice*>(user)->fill_stream(stream, static_cast<size_t>(length));
    }

    void fill_stream(Uint8* stream, size_t length)
    {
        std::vector<int> finished;
        {
            std::lock_guard lock(m_mutex);
            size_t filled = 0;
            while (filled < length && !m_queue.empty()) {
                Block& block = m_queue.front();
                size_t take = std::min(length - filled, block.data.size() - block.position);
                std::memcpy(stream + filled, block.data.data() + block.position, take);
                filled += take;
                block.position += take;
                if (block.position >= block.data.size()) {
                    finished.push_back(block.tag);
                    m_queue.pop_front();
                }
            }
            std::memset(stream + filled, m_silence, length - filled);
        }
        // The events only post to the loop; nothing else is touched here.
        for (int tag : finished)
            m_events->block_played(tag);
    }

    SDL_AudioDeviceID m_device = 0;
    AudioEvents* m_events = nullptr;
    uint8_t m_silence = 128;
    std::mutex m_mutex;
    std::deque<Block> m_queue;
};

}

namespace {

// The sound libraries under SDL print their complaints about a missing card
// straight to the terminal, over the console's screen; while the device is
// probed, those go nowhere.
class QuietStandardError {
public:
    QuietStandardError()
    {
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && null >= 0)
            dup2(null, STDERR_FILENO);
        if (null >= 0)
            ::close(null);
    }
    ~QuietStandardError()
    {
        if (m_saved >= 0) {
            dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }

private:
    int m_saved = -1;
};

}

std::unique_ptr<AudioDevice> create_sdl_audio_device()
{
    QuietStandardError quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    SDL_AudioSpec wanted {};
    wanted.freq = 11025;
    wanted.format = AUDIO_U8;
    wanted.channels = 1;
    wanted.samples = 256;
    SDL_AudioDeviceID probe = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (probe == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    SDL_CloseAudioDevice(probe);
    return std::make_unique<SdlAudioDevice>();
}

}
