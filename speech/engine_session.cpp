// SPDX-License-Identifier: GPL-3.0-or-later
// EngineSession: the installed speech engine in use, from opening it until it is closed.
#include "speech/engine_session.h"

#include "platform/clock.h"
#include "settings/setting_keys.h"
#include "settings/settings.h"

namespace speech {

namespace {

// How long an engine may take to fall silent after opening.
constexpr int settle_limit_ms = 10000;
constexpr int settle_step_ms = 50;
// The engine type that must be stopped even when it says it is idle.
constexpr int always_stopped_type = 3;

}

EngineChoice configured_engine_choice(const settings::Settings& source)
{
    EngineChoice choice;
    choice.voice = settings::engine_voice(source);
    choice.speed = settings::engine_speed(source);
    choice.pitch = settings::engine_pitch(source);
    choice.type = settings::engine_type(source);
    if (choice.type != 4 && choice.speed > 10)
        choice.speed = 0;
    return choice;
}

void EngineSession::open(const EngineChoice& choice, const std::function<void(int)>& sleep)
{
    m_engine = m_engines.open_engine(choice);
    m_type = choice.type;
    if (!m_engine)
        return;
    uint64_t start = m_clock.monotonic_ms();
    while (m_engine->busy(true) && m_clock.monotonic_ms() - start < settle_limit_ms)
        sleep(settle_step_ms);
}

void EngineSession::speak(std::string_view text)
{
    if (!m_engine)
        return;
    m_engine->speak(text);
    m_spoke = true;
}

void EngineSession::wait_after_speech(const std::function<void()>& wait_quiet)
{
    if (!m_spoke)
        return;
    wait_quiet();
    m_spoke = false;
}

void EngineSession::stop()
{
    if (m_engine && (m_engine->busy(false) || m_type == always_stopped_type))
        m_engine->stop();
}

}
