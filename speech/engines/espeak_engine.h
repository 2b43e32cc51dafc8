// SPDX-License-Identifier: GPL-3.0-or-later
// EspeakEngine: espeak-ng in this process, its samples played through the wave output.
#pragma once

#include "speech/speech_engine.h"

#include <memory>
#include <string>
#include <vector>

namespace audio {
class WaveOutput;
}

namespace speech {

class ConsolePort;
struct EspeakLibrary;

// espeak-ng runs in its synchronous mode on the program's one thread: its
// callback hands each block of samples to the wave output, so a waiting key
// stops it through the same path as the built-in voice, and the recorder
// hears it. `speak` returns once the last block is queued; a long text
// waits for ring slots as the built-in voice does.
//
// espeak-ng keeps its state in the library, so one engine is open at a time.
class EspeakEngine final : public SpeechEngine {
public:
    // Nothing when the library or its data cannot be loaded: the library is
    // loaded here, the first time an engine is opened.
    static std::unique_ptr<EspeakEngine> open(const EngineChoice& choice, audio::WaveOutput& wave, ConsolePort& port);
    ~EspeakEngine() override;
    EspeakEngine(const EspeakEngine&) = delete;
    EspeakEngine& operator=(const EspeakEngine&) = delete;

    void speak(std::string_view text) override;
    bool busy(bool after_open) override;
    void stop() override;

    // Voice identifiers by voice number - 1: Brazilian Portuguese first, then
    // the engine's other voices in its own order. Valid while open.
    static std::vector<std::string> voice_identifiers();
    const std::string& voice() const { return m_voice; }
    int rate() const { return m_rate; }
    int pitch() const { return m_pitch; }
    int sample_rate() const { return m_sample_rate; }

    // espeak-ng's callback: plays one block; false makes espeak-ng give up
    // the rest of the text.
    bool take_samples(const short* samples, int count);

private:
    EspeakEngine(const EspeakLibrary& espeak, audio::WaveOutput& wave, ConsolePort& port, int sample_rate);

    const EspeakLibrary& m_espeak;
    audio::WaveOutput& m_wave;
    ConsolePort& m_port;
    int m_sample_rate;
    std::string m_voice;
    int m_rate = 0;
    int m_pitch = 0;
    bool m_stopped = false;
    std::vector<unsigned char> m_bytes;
};

}
