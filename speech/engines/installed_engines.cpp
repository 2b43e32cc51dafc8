// SPDX-License-Identifier: GPL-3.0-or-later
// InstalledEngines: the engine factory of Linux builds, espeak-ng, speech-dispatcher and the phoneme-line voice.
#include "speech/engines/installed_engines.h"

#include "speech/engines/espeak_engine.h"
#include "speech/engines/speech_dispatcher_engine.h"

#include <string_view>

namespace speech {

EngineFamily engine_family(int type)
{
    if (type == 3)
        return EngineFamily::PhonemeLine;
    if (type == 54)
        return EngineFamily::SpeechDispatcher;
    return EngineFamily::Espeak;
}

std::string dispatcher_socket_path(const char* address, const char* runtime_dir, const char* home)
{
    constexpr std::string_view unix_prefix = "unix_socket:";
    if (address && *address) {
        std::string_view text(address);
        if (text.substr(0, unix_prefix.size()) == unix_prefix)
            return std::string(text.substr(unix_prefix.size()));
        return {};
    }
    if (runtime_dir && *runtime_dir)
        return std::string(runtime_dir) + "/speech-dispatcher/speechd.sock";
    if (home && *home)
        return std::string(home) + "/.cache/speech-dispatcher/speechd.sock";
    return {};
}

InstalledEngines::InstalledEngines(audio::WaveOutput& wave, ConsolePort& port, std::string dispatcher_socket)
    : m_wave(wave)
    , m_port(port)
    , m_dispatcher_socket(std::move(dispatcher_socket))
{
}

std::unique_ptr<SpeechEngine> InstalledEngines::open_engine(const EngineChoice& choice)
{
    switch (engine_family(choice.type)) {
    case EngineFamily::PhonemeLine:
        // Without its library or data the voice is not installed, and the
        // built-in voice speaks, as for any engine that cannot be opened.
        if (!m_phoneme_line && m_find_phoneme_line)
            m_phoneme_line = m_find_phoneme_line();
        if (!m_phoneme_line)
            return nullptr;
        return PhonemeLineEngine::open(choice, *m_phoneme_line, m_wave, m_port);
    case EngineFamily::SpeechDispatcher:
        if (!m_dispatcher_socket.empty()) {
            if (auto engine = SpeechDispatcherEngine::open(choice, m_dispatcher_socket))
                return engine;
        }
        break;
    case EngineFamily::Espeak:
        break;
    }
    return EspeakEngine::open(choice, m_wave, m_port);
}

}
