// SPDX-License-Identifier: GPL-3.0-or-later
// InstalledEngines: the engine factory of Linux builds, espeak-ng, speech-dispatcher and the phoneme-line voice.
#pragma once

#include "speech/engines/phoneme_line_engine.h"
#include "speech/speech_engine.h"

#include <functional>
#include <optional>
#include <string>

namespace audio {
class WaveOutput;
}

namespace speech {

class ConsolePort;

// Which family an engine type (TIPOSAPI) opens. Type 54 is the user's
// speech-dispatcher, falling back to espeak-ng when none answers; type 3 is
// the phoneme-line voice; every other type, 4 included, is espeak-ng.
enum class EngineFamily {
    PhonemeLine,
    Espeak,
    SpeechDispatcher,
};
EngineFamily engine_family(int type);

// The path of speech-dispatcher's socket from its environment: the address
// "unix_socket:PATH" of SPEECHD_ADDRESS, else the daemon's usual place
// under the runtime folder (or the cache folder without one). Empty when
// the address names another kind of socket.
std::string dispatcher_socket_path(const char* address, const char* runtime_dir, const char* home);

class InstalledEngines final : public EngineFactory {
public:
    InstalledEngines(audio::WaveOutput& wave, ConsolePort& port, std::string dispatcher_socket);
    std::unique_ptr<SpeechEngine> open_engine(const EngineChoice& choice) override;

    // Where the phoneme-line voice finds its library and files; until it is
    // set, that voice cannot be opened.
    void set_phoneme_line_setup(PhonemeLineSetup setup) { m_phoneme_line = std::move(setup); }
    // The same, worked out when the voice is first opened: finding the
    // files reads the settings and searches folders, which a run that never
    // chooses the voice should not pay for at start.
    void set_phoneme_line_setup(std::function<PhonemeLineSetup()> find_setup) { m_find_phoneme_line = std::move(find_setup); }

private:
    audio::WaveOutput& m_wave;
    ConsolePort& m_port;
    std::string m_dispatcher_socket;
    std::optional<PhonemeLineSetup> m_phoneme_line;
    std::function<PhonemeLineSetup()> m_find_phoneme_line;
};

}
