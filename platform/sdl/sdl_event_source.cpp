// SPDX-License-Identifier: GPL-3.0-or-later
// SdlEventSource: keys, characters, mouse and window events of the SDL window.
#include "platform/sdl/sdl_event_source.h"

#include "platform/sdl/sdl_key_mapping.h"
#include "platform/sdl/sdl_window.h"

#include <SDL.h>

namespace platform {

SdlEventSource::SdlEventSource(SdlWindow& window, Clock& clock, bool real_time)
    : m_window(window)
    , m_clock(clock)
    , m_real_time(real_time)
{
    m_wake_type = SDL_RegisterEvents(1);
}

void SdlEventSource::take_posted(bool all)
{
    std::lock_guard lock(m_mutex);
    while (!m_posted.empty()) {
        m_ready.push_back(m_posted.front());
        m_posted.pop_front();
        if (!all)
            break;
    }
}

void SdlEventSource::take(const SDL_Event& sdl)
{
    Event event;
    switch (sdl.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (sdl.key.windowID != m_window.window_id())
            return;
        if (sdl.type == SDL_KEYDOWN)
            m_last_key_modifiers = sdl.key.keysym.mod;
        event.type = sdl.type == SDL_KEYDOWN ? Event::Type::KeyPress : Event::Type::KeyRelease;
        event.key = key_of_scancode(sdl.key.keysym.scancode, sdl.key.keysym.mod);
        event.modifiers = modifiers_of(sdl.key.keysym.mod);
        m_ready.push_back(event);
        return;
    case SDL_TEXTINPUT:
        // The text belongs to the key pressed just before it.
        if (text_left_to_system(m_last_key_modifiers))
            return;
        for (char byte : typed_characters(sdl.text.text)) {
            event.type = Event::Type::Character;
            event.character = static_cast<uint8_t>(byte);
            m_ready.push_back(event);
        }
        return;
    case SDL_MOUSEBUTTONDOWN:
        if (sdl.button.button == SDL_BUTTON_LEFT)
            event.button = MouseButton::Left;
        else if (sdl.button.button == SDL_BUTTON_RIGHT)
            event.button = MouseButton::Right;
        else if (sdl.button.button == SDL_BUTTON_MIDDLE)
            event.button = MouseButton::Middle;
        else
            return;
        event.type = Event::Type::MouseButtonPress;
        m_ready.push_back(event);
        return;
    case SDL_MOUSEWHEEL: {
        int steps = sdl.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -sdl.wheel.y : sdl.wheel.y;
        if (steps == 0)
            return;
        event.type = Event::Type::MouseWheel;
        event.wheel = steps;
        m_ready.push_back(event);
        return;
    }
    case SDL_QUIT:
        event.type = Event::Type::CloseRequested;
        m_ready.push_back(event);
        return;
    case SDL_WINDOWEVENT:
        switch (sdl.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            event.type = Event::Type::CloseRequested;
            m_ready.push_back(event);
            return;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            event.type = Event::Type::FocusGained;
            event.button_down = SDL_GetMouseState(nullptr, nullptr) != 0;
            m_ready.push_back(event);
            return;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            event.type = Event::Type::FocusLost;
            m_ready.push_back(event);
            return;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            m_window.redraw();
            return;
        default:
            return;
        }
    default:
        if (sdl.type == m_wake_type)
            take_posted(false);
        return;
    }
}

std::optional<Event> SdlEventSource::next_event()
{
    if (m_ready.empty()) {
        SDL_Event sdl;
        while (m_ready.empty() && SDL_PollEvent(&sdl))
            take(sdl);
        // A wake-up that SDL's full queue refused still leaves its event
        // with us.
        if (m_ready.empty())
            take_posted(true);
    }
    if (m_ready.empty())
        return std::nullopt;
    auto event = m_ready.front();
    m_ready.pop_front();
    return event;
}

void SdlEventSource::wait(int timeout_ms)
{
    if (!m_ready.empty())
        return;
    {
        std::lock_guard lock(m_mutex);
        if (!m_posted.empty())
            return;
    }
    SDL_Event sdl;
    bool virtual_time = !m_real_time && timeout_ms >= 0;
    int got = SDL_WaitEventTimeout(&sdl, virtual_time ? 0 : timeout_ms);
    if (got)
        take(sdl);
    else if (virtual_time)
        m_clock.pass_ms(static_cast<uint64_t>(timeout_ms));
}

void SdlEventSource::post(const Event& event)
{
    {
        std::lock_guard lock(m_mutex);
        m_posted.push_back(event);
    }
    SDL_Event wake {};
    wake.type = m_wake_type;
    SDL_PushEvent(&wake);
}

uint8_t SdlEventSource::held_modifiers() const
{
    return modifiers_of(static_cast<uint16_t>(SDL_GetModState()));
}

PointerPosition SdlEventSource::pointer_position(bool screen_relative) const
{
    PointerPosition position;
    if (screen_relative)
        SDL_GetGlobalMouseState(&position.x, &position.y);
    else
        SDL_GetMouseState(&position.x, &position.y);
    return position;
}

}
