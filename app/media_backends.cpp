// SPDX-License-Identifier: GPL-3.0-or-later
// MediaBackends: the media devices and MIDI, playing through the sound output beside speech.
#include "app/media_backends.h"

#include "console/console.h"
#include "interpreter/runtime.h"
#include "media/output_streams.h"
#include "platform/path_map.h"
#include "settings/setting_keys.h"

namespace app {

// Every wait of the console notices the plays that have ended, so that
// "status ... mode" turns to "stopped" and files played with "play FILE"
// are closed even while the script waits for a key.
class MediaBackends::Poller final : public console::EventPoller {
public:
    explicit Poller(media::MediaState& state)
        : m_state(state)
    {
    }
    void poll() override { m_state.pump(); }
    int next_report_ms() const override { return -1; }

private:
    media::MediaState& m_state;
};

MediaBackends::MediaBackends(audio::SoundOutput& output, console::Console& console, const settings::Settings& settings,
    const platform::PathMap& paths)
    : m_streams(std::make_unique<media::OutputStreams>(output))
{
    std::string bank = settings::midi_sound_bank(settings);
    bank = bank.empty() ? std::string(media::default_soundfont) : paths.to_system(bank);
    m_state = std::make_unique<media::MediaState>(*m_streams, paths, bank);
    // "play ... wait" waits the way every wait does, and a key ends it.
    m_state->control().set_waiter([&console] {
        console.loop().wait_event(50);
        return !console.key_pressed();
    });
    m_poller = std::make_unique<Poller>(*m_state);
    console.loop().add_poller(m_poller.get());
}

MediaBackends::~MediaBackends()
{
    // The streams end before the output they play through.
    m_state.reset();
}

void MediaBackends::attach(interpreter::Subsystems& subsystems)
{
    subsystems.media = m_state.get();
}

}
