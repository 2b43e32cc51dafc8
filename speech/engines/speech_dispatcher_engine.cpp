// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechDispatcherEngine: the user's speech-dispatcher, which plays on its own.
#include "speech/engines/speech_dispatcher_engine.h"

#include "base/text_encoding.h"
#include "speech/engines/engine_scales.h"

#include <cstdlib>

namespace speech {

namespace {

constexpr int reply_client_name_set = 208;
constexpr int reply_voices_sent = 249;
constexpr int reply_message_queued = 225;
constexpr int event_end = 702;
constexpr int event_cancelled = 703;

bool ok(const base::Result<SsipReply>& reply) { return reply && reply->ok(); }

}

SpeechDispatcherEngine::SpeechDispatcherEngine(std::unique_ptr<SsipConnection> connection)
    : m_connection(std::move(connection))
{
}

std::unique_ptr<SpeechDispatcherEngine> SpeechDispatcherEngine::open(const EngineChoice& choice, const std::string& socket_path)
{
    auto connection = SsipConnection::connect(socket_path);
    if (!connection)
        return nullptr;
    std::unique_ptr<SpeechDispatcherEngine> engine(new SpeechDispatcherEngine(std::move(*connection)));
    if (!engine->set_up(choice))
        return nullptr;
    return engine;
}

bool SpeechDispatcherEngine::set_up(const EngineChoice& choice)
{
    auto named = m_connection->command("SET SELF CLIENT_NAME user:corvante:main");
    if (!named || named->code != reply_client_name_set)
        return false;
    // Busy is known only from the events: without them there is no engine.
    if (!ok(m_connection->command("SET SELF NOTIFICATION ALL on")))
        return false;
    auto listed = m_connection->command("LIST SYNTHESIS_VOICES");
    if (!listed || listed->code != reply_voices_sent)
        return false;
    // Each line is the voice's name, language and variant, separated by
    // tabs; the last line is the reply's own text.
    for (size_t i = 0; i + 1 < listed->lines.size(); ++i) {
        const std::string& line = listed->lines[i];
        std::string name = line.substr(0, line.find('\t'));
        if (!name.empty())
            m_voices.push_back(name);
    }
    int voice = choice.voice;
    int speed = choice.speed;
    if (voice < 1 || voice > static_cast<int>(m_voices.size())) {
        voice = 1;
        speed = 0;
    }
    // A module that lists no voices speaks with its own.
    if (!m_voices.empty()) {
        m_voice = m_voices[static_cast<size_t>(voice - 1)];
        if (!ok(m_connection->command("SET SELF SYNTHESIS_VOICE " + m_voice)))
            return false;
    }
    if (!ok(m_connection->command("SET SELF RATE " + std::to_string(dispatcher_rate(speed)))))
        return false;
    return ok(m_connection->command("SET SELF PITCH " + std::to_string(dispatcher_pitch(choice.pitch))));
}

void SpeechDispatcherEngine::speak(std::string_view text)
{
    // An empty message is refused by the daemon: nothing to say is silence.
    if (m_connection->lost() || text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return;
    take_events();
    auto reply = m_connection->speak(base::windows1252_to_utf8(text));
    if (!reply || reply->code != reply_message_queued || reply->lines.empty())
        return;
    uint64_t message = std::strtoull(reply->lines.front().c_str(), nullptr, 10);
    // An end that came before this reply waits among the unread events, so
    // it finds the message pending.
    m_pending.insert(message);
}

void SpeechDispatcherEngine::take_events()
{
    for (const auto& event : m_connection->take_events()) {
        if (event.code != event_end && event.code != event_cancelled)
            continue;
        m_pending.erase(event.message);
    }
    if (m_connection->lost())
        m_pending.clear();
}

bool SpeechDispatcherEngine::busy(bool)
{
    take_events();
    return !m_pending.empty();
}

void SpeechDispatcherEngine::stop()
{
    if (m_connection->lost())
        return;
    // The cancellations arrive as events later; the messages are over now.
    if (ok(m_connection->command("CANCEL SELF")))
        m_pending.clear();
    take_events();
}

}
