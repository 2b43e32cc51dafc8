// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechDispatcherEngine: the user's speech-dispatcher, which plays on its own.
#pragma once

#include "speech/engines/ssip_connection.h"
#include "speech/speech_engine.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace speech {

// The connection is made once, when the engine opens, and kept. Messages
// are pending from the reply that queues them until the daemon reports
// their end or cancellation; a daemon that dies or stops answering leaves
// the engine lost, silent and idle, and the client speaks with the
// built-in voice from then on.
class SpeechDispatcherEngine final : public SpeechEngine {
public:
    // Nothing when no speech-dispatcher answers at `socket_path`.
    static std::unique_ptr<SpeechDispatcherEngine> open(const EngineChoice& choice, const std::string& socket_path);

    void speak(std::string_view text) override;
    bool busy(bool after_open) override;
    void stop() override;
    bool lost() const override { return m_connection->lost(); }

    // The voice names of the default output module, by voice number - 1.
    const std::vector<std::string>& voices() const { return m_voices; }
    const std::string& voice() const { return m_voice; }

private:
    explicit SpeechDispatcherEngine(std::unique_ptr<SsipConnection> connection);
    bool set_up(const EngineChoice& choice);
    void take_events();

    std::unique_ptr<SsipConnection> m_connection;
    std::vector<std::string> m_voices;
    std::string m_voice;
    std::set<uint64_t> m_pending;
};

}
