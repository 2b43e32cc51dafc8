// SPDX-License-Identifier: GPL-3.0-or-later
// EspeakEngine: espeak-ng in this process, its samples played through the wave output.
#include "speech/engines/espeak_engine.h"

#include "base/text_encoding.h"
#include "speech/console_port.h"
#include "speech/engines/engine_scales.h"
#include "audio/wave_output.h"
#include "speech/engines/espeak_library.h"

#include <cstring>

namespace speech {

namespace {

// The callback receives blocks of this many milliseconds: short enough
// that the first block is queued soon after `speak`, long enough that the
// ring of 16 slots holds over a second of speech.
constexpr int callback_block_ms = 100;
constexpr const char* brazilian_identifier = "roa/pt-BR";

// The first language of a voice: its list is a priority byte, a language
// name and its zero, repeated, ending with a zero priority.
std::string_view first_language(const espeak_VOICE& voice)
{
    if (!voice.languages || voice.languages[0] == 0)
        return {};
    return voice.languages + 1;
}

bool is_brazilian(const espeak_VOICE& voice)
{
    return voice.identifier && (std::strcmp(voice.identifier, brazilian_identifier) == 0 || first_language(voice) == "pt-br");
}

// Every event carries the engine that `espeak_Synth` was given.
int receive_samples(short* samples, int count, espeak_EVENT* events)
{
    auto* engine = events ? static_cast<EspeakEngine*>(events->user_data) : nullptr;
    if (!engine)
        return 1;
    return engine->take_samples(samples, count) ? 0 : 1;
}

// espeak-ng's state is the library's own, one per process, and this
// version of the library hangs in espeak_Terminate once it has been
// initialised twice; so it is initialised on first use and kept until
// the process ends, and each engine only sets voice, rate and pitch.
int initialise_espeak(const EspeakLibrary& espeak)
{
    static const int sample_rate = espeak.espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, callback_block_ms, nullptr, 0);
    return sample_rate;
}

}

EspeakEngine::EspeakEngine(const EspeakLibrary& espeak, audio::WaveOutput& wave, ConsolePort& port, int sample_rate)
    : m_espeak(espeak)
    , m_wave(wave)
    , m_port(port)
    , m_sample_rate(sample_rate)
{
}

std::unique_ptr<EspeakEngine> EspeakEngine::open(const EngineChoice& choice, audio::WaveOutput& wave, ConsolePort& port)
{
    // Without the library the engine is one that is not installed.
    auto library = espeak_library();
    if (!library)
        return nullptr;
    const EspeakLibrary& espeak = **library;
    int sample_rate = initialise_espeak(espeak);
    if (sample_rate <= 0)
        return nullptr;
    std::unique_ptr<EspeakEngine> engine(new EspeakEngine(espeak, wave, port, sample_rate));
    espeak.espeak_SetSynthCallback(receive_samples);

    auto voices = voice_identifiers();
    if (voices.empty())
        return nullptr;
    int voice = choice.voice;
    int speed = choice.speed;
    // A voice the engine does not have is the first one, at its own speed.
    if (voice < 1 || voice > static_cast<int>(voices.size())) {
        voice = 1;
        speed = 0;
    }
    engine->m_voice = voices[static_cast<size_t>(voice - 1)];
    if (espeak.espeak_SetVoiceByName(engine->m_voice.c_str()) != EE_OK)
        return nullptr;
    engine->m_rate = espeak_rate(choice.type, speed);
    engine->m_pitch = espeak_pitch(choice.pitch);
    espeak.espeak_SetParameter(espeakRATE, engine->m_rate, 0);
    espeak.espeak_SetParameter(espeakPITCH, engine->m_pitch, 0);
    return engine;
}

EspeakEngine::~EspeakEngine() = default;

std::vector<std::string> EspeakEngine::voice_identifiers()
{
    std::vector<std::string> identifiers;
    auto library = espeak_library();
    if (!library)
        return identifiers;
    const espeak_VOICE** voices = (*library)->espeak_ListVoices(nullptr);
    if (!voices)
        return identifiers;
    for (size_t i = 0; voices[i]; ++i) {
        if (voices[i]->identifier && is_brazilian(*voices[i])) {
            identifiers.emplace_back(voices[i]->identifier);
            break;
        }
    }
    if (identifiers.empty())
        return identifiers;
    for (size_t i = 0; voices[i]; ++i) {
        if (voices[i]->identifier && voices[i]->identifier != identifiers.front())
            identifiers.emplace_back(voices[i]->identifier);
    }
    return identifiers;
}

void EspeakEngine::speak(std::string_view text)
{
    std::string utf8 = base::windows1252_to_utf8(text);
    if (utf8.find_first_not_of(" \t\r\n") == std::string::npos)
        return;
    m_stopped = false;
    // Without espeakSSML the text is read as it is: markup in a script's
    // text cannot change the voice.
    m_espeak.espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, this);
}

bool EspeakEngine::take_samples(const short* samples, int count)
{
    if (m_stopped || m_port.key_waiting()) {
        stop();
        return false;
    }
    if (!samples || count <= 0)
        return true;
    m_bytes.resize(static_cast<size_t>(count) * 2);
    for (int i = 0; i < count; ++i) {
        auto value = static_cast<uint16_t>(samples[i]);
        m_bytes[static_cast<size_t>(i) * 2] = static_cast<unsigned char>(value & 0xFF);
        m_bytes[static_cast<size_t>(i) * 2 + 1] = static_cast<unsigned char>(value >> 8);
    }
    // The cutting and fast playback of the built-in voice's speed levels
    // would distort a voice that keeps its own rate.
    bool cutting = m_wave.speech_cutting;
    bool fast = m_wave.fast_playback;
    m_wave.speech_cutting = false;
    m_wave.fast_playback = false;
    m_wave.play_samples(m_bytes, m_sample_rate, 1, 16);
    m_wave.speech_cutting = cutting;
    m_wave.fast_playback = fast;
    if (m_port.key_waiting()) {
        stop();
        return false;
    }
    return true;
}

bool EspeakEngine::busy(bool)
{
    return m_wave.wave_busy();
}

void EspeakEngine::stop()
{
    m_stopped = true;
    m_wave.wave_stop();
}

}
