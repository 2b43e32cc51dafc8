// SPDX-License-Identifier: GPL-3.0-or-later
// Accessibility: focus and window events, and the accessible object at a point.
#pragma once

#include "platform/desktop_input.h"

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// What the accessibility commands read from an object, with the role as a
// Windows role code (the code the scripts compare with) and its text.
struct AccessibleObject {
    uint32_t role_code = 0;
    std::string role_text;
    ScreenArea area;
    // UTF-8.
    std::string name;
    std::string value;
    bool checked = false;
    bool unavailable = false;
};

enum class AccessibleEvent : uint32_t {
    foreground = 3,
    focus = 0x8005,
};

class Accessibility {
public:
    virtual ~Accessibility() = default;
    // Starts or stops watching focus and window events.
    virtual void start_events() = 0;
    virtual void stop_events() = 0;
    // The object of the next event that came since the last call, read at
    // once; nothing when no event came. `event` receives the event's kind.
    virtual std::optional<AccessibleObject> next_event_object(AccessibleEvent& event) = 0;
    virtual std::optional<AccessibleObject> object_at(int x, int y) = 0;
};

class NoAccessibility final : public Accessibility {
public:
    void start_events() override { }
    void stop_events() override { }
    std::optional<AccessibleObject> next_event_object(AccessibleEvent&) override { return std::nullopt; }
    std::optional<AccessibleObject> object_at(int, int) override { return std::nullopt; }
};

}
