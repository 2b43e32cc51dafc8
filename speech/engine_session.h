// SPDX-License-Identifier: GPL-3.0-or-later
// EngineSession: the installed speech engine in use, from opening it until it is closed.
#pragma once

#include "speech/speech_engine.h"

#include <functional>
#include <memory>
#include <string_view>

namespace platform {
class Clock;
}
namespace settings {
class Settings;
}

namespace speech {

// The engine the settings name; a speed beyond 10 means the default for
// every type but the one that counts speeds its own way.
EngineChoice configured_engine_choice(const settings::Settings& settings);

// At most one engine is open at a time; without one the built-in
// synthesiser speaks.
class EngineSession {
public:
    EngineSession(EngineFactory& engines, platform::Clock& clock)
        : m_engines(engines)
        , m_clock(clock)
    {
    }

    // Opens the engine of the choice, closing none (close first), and lets
    // it settle: an engine may be busy for a while after opening, and what
    // is spoken meanwhile would be lost. `sleep` lets time pass with events
    // flowing.
    void open(const EngineChoice& choice, const std::function<void(int milliseconds)>& sleep);
    void close() { m_engine.reset(); }

    bool is_open() const { return m_engine != nullptr; }
    // The type of the last choice, open or not.
    int type() const { return m_type; }
    bool busy() { return m_engine && m_engine->busy(false); }
    // True when the open engine can no longer speak (its daemon went away).
    bool lost() const { return m_engine && m_engine->lost(); }
    void speak(std::string_view text);
    // Stops what the engine says; one type must be told even when it
    // reports itself idle.
    void stop();
    // A recording played after the engine spoke waits for it to fall
    // silent first, once per utterance: `wait_quiet` waits while any speech
    // is busy. Before anything was spoken it waits too.
    void wait_after_speech(const std::function<void()>& wait_quiet);

private:
    EngineFactory& m_engines;
    platform::Clock& m_clock;
    std::unique_ptr<SpeechEngine> m_engine;
    int m_type = 5;
    bool m_spoke = true;
};

}
