// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechEngine: an installed speech engine that replaces the built-in synthesiser.
#pragma once

#include <memory>
#include <string_view>

namespace speech {

class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;
    // Returns at once; the engine speaks in the background.
    virtual void speak(std::string_view text) = 0;
    // `after_open` is set only in the poll right after opening.
    virtual bool busy(bool after_open) = 0;
    virtual void stop() = 0;
    // True once the engine can no longer speak (its daemon went away); the
    // client then closes it and the built-in synthesiser speaks.
    virtual bool lost() const { return false; }
};

struct EngineChoice {
    int voice = 0;
    int speed = 0;
    int pitch = 0;
    int type = 5; // TIPOSAPI: 3 the phoneme-line voice, 4 and 54 and others the installed voices
    bool operator==(const EngineChoice&) const = default;
};

// Opens the engine family that `choice.type` selects; nothing when it cannot
// be opened, and the built-in synthesiser speaks instead.
class EngineFactory {
public:
    virtual ~EngineFactory() = default;
    virtual std::unique_ptr<SpeechEngine> open_engine(const EngineChoice& choice) = 0;
};

// The factory of this build: no engine family is present yet, so every type
// opens as "cannot be opened".
class NoEngines final : public EngineFactory {
public:
    std::unique_ptr<SpeechEngine> open_engine(const EngineChoice&) override { return nullptr; }
};

}
