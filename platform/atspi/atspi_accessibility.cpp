// SPDX-License-Identifier: GPL-3.0-or-later
// AtspiAccessibility: focus and window events and the objects of the desktop, through AT-SPI.
#include "platform/atspi/atspi_accessibility.h"

#include "platform/accessible_event_queue.h"
#include "platform/atspi/atspi_library.h"
#include "platform/atspi/atspi_roles.h"
#include "platform/atspi/session_bus.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>

namespace platform {

namespace {

// Enough for any field a script reads; a document's whole text is not a value.
constexpr int max_value_characters = 1024;
// Nested containers deeper than this are taken as a loop in a broken tree.
constexpr int max_point_depth = 64;
// Events dispatched by one pump: a flood from a busy program ends the pump
// rather than the script's turn.
constexpr int max_pumped_messages = 1000;

// A reference to an object of the library, let go when the holder goes.
class ObjectReference {
public:
    ObjectReference() = default;
    ObjectReference(const AtspiLibrary* library, void* object)
        : m_library(library)
        , m_object(object)
    {
    }
    ObjectReference(ObjectReference&& other) noexcept
        : m_library(other.m_library)
        , m_object(std::exchange(other.m_object, nullptr))
    {
    }
    ObjectReference& operator=(ObjectReference&& other) noexcept
    {
        if (this != &other) {
            release();
            m_library = other.m_library;
            m_object = std::exchange(other.m_object, nullptr);
        }
        return *this;
    }
    ObjectReference(const ObjectReference&) = delete;
    ObjectReference& operator=(const ObjectReference&) = delete;
    ~ObjectReference() { release(); }

    template<typename T>
    T* as() const
    {
        return static_cast<T*>(m_object);
    }
    explicit operator bool() const { return m_object != nullptr; }

private:
    void release()
    {
        if (m_object)
            m_library->g_object_unref(m_object);
        m_object = nullptr;
    }

    const AtspiLibrary* m_library = nullptr;
    void* m_object = nullptr;
};

struct QueuedEvent {
    AccessibleEvent kind = AccessibleEvent::focus;
    ObjectReference source;
};

// The events the queue takes: focus moves, windows that come to the front,
// a check box checked or a control made unavailable, and values changed.
struct WatchedEvent {
    const char* type;
    AccessibleEvent kind;
};
constexpr WatchedEvent watched_events[] = {
    { "focus:", AccessibleEvent::focus },
    { "object:state-changed:focused", AccessibleEvent::focus },
    { "window:activate", AccessibleEvent::foreground },
    { "object:state-changed:checked", AccessibleEvent::state_change },
    { "object:state-changed:enabled", AccessibleEvent::state_change },
    { "object:property-change:accessible-value", AccessibleEvent::value_change },
};

std::string format_value(double value)
{
    if (!std::isfinite(value))
        return {};
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, value);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

class AtspiAccessibility final : public Accessibility {
public:
    ~AtspiAccessibility() override
    {
        if (m_library) {
            stop_events();
            m_queue.clear();
            m_last_focus = {};
            if (m_listener)
                m_library->g_object_unref(m_listener);
        }
    }

    void start_events() override
    {
        if (!ready() || m_listening)
            return;
        if (!m_listener)
            m_listener = m_library->atspi_event_listener_new(on_event, this, nullptr);
        for (const auto& watched : watched_events) {
            GError* error = nullptr;
            m_library->atspi_event_listener_register(m_listener, watched.type, &error);
            forget(error);
        }
        m_listening = true;
    }

    void stop_events() override
    {
        if (!m_listening)
            return;
        for (const auto& watched : watched_events) {
            GError* error = nullptr;
            m_library->atspi_event_listener_deregister(m_listener, watched.type, &error);
            forget(error);
        }
        m_listening = false;
        m_last_focus = {};
    }

    std::optional<AccessibleObject> next_event_object(AccessibleEvent& event) override
    {
        if (!m_library)
            return std::nullopt;
        pump();
        auto entry = m_queue.take();
        if (!entry || !entry->source)
            return std::nullopt;
        event = entry->kind;
        return read_object(entry->source.as<AtspiAccessible>());
    }

    std::optional<AccessibleObject> object_at(int x, int y) override
    {
        if (!ready())
            return std::nullopt;
        auto window = window_at(x, y);
        if (!window)
            return std::nullopt;
        ObjectReference current = std::move(window);
        for (int depth = 0; depth < max_point_depth; ++depth) {
            auto component = component_of(current.as<AtspiAccessible>());
            if (!component)
                break;
            GError* error = nullptr;
            auto* at_point = m_library->atspi_component_get_accessible_at_point(
                component.as<AtspiComponent>(), x, y, ATSPI_COORD_TYPE_SCREEN, &error);
            ObjectReference child(m_library, at_point);
            forget(error);
            if (!child || child.as<void>() == current.as<void>())
                break;
            current = std::move(child);
        }
        return read_object(current.as<AtspiAccessible>());
    }

private:
    // Loads the library and joins the accessibility bus once. The bus is
    // looked for first, every time until it is found: the library ends the
    // process when there is none.
    bool ready()
    {
        if (m_library)
            return true;
        if (m_failed)
            return false;
        auto bus = reachable_session_bus();
        if (!bus)
            return false;
        auto library = atspi_library();
        if (!library) {
            m_failed = true;
            return false;
        }
        // The library asks D-Bus for the session bus, which reads only the
        // variable: give it the per-user bus that was found without it.
        setenv("DBUS_SESSION_BUS_ADDRESS", bus->c_str(), 0);
        (*library)->atspi_init();
        m_library = *library;
        return true;
    }

    void forget(GError* error)
    {
        if (error)
            m_library->g_error_free(error);
    }

    // Lets the library dispatch what came over the bus: events reach
    // on_event from here.
    void pump()
    {
        for (int count = 0; count < max_pumped_messages; ++count) {
            if (!m_library->g_main_context_iteration(nullptr, FALSE))
                break;
        }
    }

    static void on_event(AtspiEvent* event, void* data)
    {
        auto* self = static_cast<AtspiAccessibility*>(data);
        const AtspiLibrary* library = self->m_library;
        if (self->m_listening && event->source && event->type) {
            for (const auto& watched : watched_events) {
                if (std::strcmp(event->type, watched.type) != 0
                    && std::strncmp(event->type, watched.type, std::strlen(watched.type)) != 0)
                    continue;
                if (watched.kind == AccessibleEvent::focus && !self->is_new_focus(event))
                    break;
                if (watched.kind == AccessibleEvent::foreground)
                    self->m_last_focus = {};
                QueuedEvent queued;
                queued.kind = watched.kind;
                queued.source = ObjectReference(library, (library->g_object_ref)(event->source));
                self->m_queue.push(std::move(queued));
                break;
            }
        }
        library->g_boxed_free(library->atspi_event_get_type(), event);
    }

    // Toolkits tell one focus move twice (as a focus event and as the
    // focused state set), and set the focused state of widgets that are
    // not on the screen (the items of a closed menu): one move, one event,
    // as on Windows.
    bool is_new_focus(AtspiEvent* event)
    {
        if (std::strncmp(event->type, "object:", 7) == 0 && event->detail1 == 0)
            return false;
        if (m_last_focus.as<AtspiAccessible>() == event->source)
            return false;
        if (!has_state(event->source, { ATSPI_STATE_SHOWING }))
            return false;
        m_last_focus = ObjectReference(m_library, (m_library->g_object_ref)(event->source));
        return true;
    }

    bool has_state(AtspiAccessible* object, std::initializer_list<AtspiStateType> states)
    {
        ObjectReference set(m_library, m_library->atspi_accessible_get_state_set(object));
        if (!set)
            return false;
        for (auto state : states) {
            if (m_library->atspi_state_set_contains(set.as<AtspiStateSet>(), state))
                return true;
        }
        return false;
    }

    ObjectReference component_of(AtspiAccessible* object)
    {
        return ObjectReference(m_library, m_library->atspi_accessible_get_component_iface(object));
    }

    int child_count(AtspiAccessible* object)
    {
        GError* error = nullptr;
        int count = m_library->atspi_accessible_get_child_count(object, &error);
        forget(error);
        return count;
    }

    ObjectReference child_at(AtspiAccessible* object, int index)
    {
        GError* error = nullptr;
        ObjectReference child(m_library, m_library->atspi_accessible_get_child_at_index(object, index, &error));
        forget(error);
        return child;
    }

    std::string take_text(gchar* text)
    {
        std::string copy = text ? text : "";
        m_library->g_free(text);
        return copy;
    }

    // The showing top-level window under the point, the active one first.
    ObjectReference window_at(int x, int y)
    {
        ObjectReference desktop(m_library, m_library->atspi_get_desktop(0));
        if (!desktop)
            return {};
        ObjectReference found;
        GError* error = nullptr;
        int applications = child_count(desktop.as<AtspiAccessible>());
        for (int a = 0; a < applications; ++a) {
            auto application = child_at(desktop.as<AtspiAccessible>(), a);
            if (!application)
                continue;
            int windows = child_count(application.as<AtspiAccessible>());
            for (int w = 0; w < windows; ++w) {
                auto window = child_at(application.as<AtspiAccessible>(), w);
                if (!window || !has_state(window.as<AtspiAccessible>(), { ATSPI_STATE_SHOWING }))
                    continue;
                auto component = component_of(window.as<AtspiAccessible>());
                if (!component)
                    continue;
                bool inside = m_library->atspi_component_contains(
                    component.as<AtspiComponent>(), x, y, ATSPI_COORD_TYPE_SCREEN, &error);
                forget(std::exchange(error, nullptr));
                if (!inside)
                    continue;
                if (has_state(window.as<AtspiAccessible>(), { ATSPI_STATE_ACTIVE }))
                    return window;
                if (!found)
                    found = std::move(window);
            }
        }
        return found;
    }

    // Nothing when the object has gone (its program ended or it was
    // destroyed since the event).
    std::optional<AccessibleObject> read_object(AtspiAccessible* object)
    {
        GError* error = nullptr;
        AtspiRole role = m_library->atspi_accessible_get_role(object, &error);
        if (error) {
            forget(error);
            return std::nullopt;
        }
        AccessibleObject reading;
        reading.role_code = windows_role_code(role);
        if (reading.role_code == 0)
            return reading;
        reading.role_text = take_text(m_library->atspi_accessible_get_localized_role_name(object, &error));
        forget(std::exchange(error, nullptr));
        if (auto component = component_of(object)) {
            AtspiRect* extents = m_library->atspi_component_get_extents(
                component.as<AtspiComponent>(), ATSPI_COORD_TYPE_SCREEN, &error);
            forget(std::exchange(error, nullptr));
            if (extents) {
                reading.area = { extents->x, extents->y, extents->width, extents->height };
                m_library->g_free(extents);
            }
        }
        reading.name = take_text(m_library->atspi_accessible_get_name(object, &error));
        forget(std::exchange(error, nullptr));
        reading.checked = has_state(object, { ATSPI_STATE_CHECKED });
        reading.unavailable = !has_state(object, { ATSPI_STATE_ENABLED, ATSPI_STATE_SENSITIVE });
        reading.value = read_value(object, role);
        return reading;
    }

    // A number for sliders, spin buttons and bars; the text of a field the
    // user edits (never of a password field).
    std::string read_value(AtspiAccessible* object, AtspiRole role)
    {
        GError* error = nullptr;
        if (ObjectReference value(m_library, m_library->atspi_accessible_get_value_iface(object)); value) {
            double number = m_library->atspi_value_get_current_value(value.as<AtspiValue>(), &error);
            if (error) {
                forget(error);
                return {};
            }
            return format_value(number);
        }
        if (role == ATSPI_ROLE_PASSWORD_TEXT || !has_state(object, { ATSPI_STATE_EDITABLE }))
            return {};
        ObjectReference text(m_library, m_library->atspi_accessible_get_text_iface(object));
        if (!text)
            return {};
        int length = m_library->atspi_text_get_character_count(text.as<AtspiText>(), &error);
        forget(std::exchange(error, nullptr));
        if (length <= 0)
            return {};
        int end = std::min(length, max_value_characters);
        std::string content = take_text(m_library->atspi_text_get_text(text.as<AtspiText>(), 0, end, &error));
        forget(error);
        return content;
    }

    const AtspiLibrary* m_library = nullptr;
    bool m_failed = false;
    bool m_listening = false;
    AtspiEventListener* m_listener = nullptr;
    AccessibleEventQueue<QueuedEvent> m_queue;
    // The object of the last focus event queued, until a window comes to the front.
    ObjectReference m_last_focus;
};

}

std::unique_ptr<Accessibility> create_atspi_accessibility() { return std::make_unique<AtspiAccessibility>(); }

std::string describe_atspi_accessibility()
{
    auto bus = reachable_session_bus();
    if (!bus)
        return "none (no session bus): MSAA finds no objects";
    auto library = atspi_library();
    if (!library)
        return "none (" + library.error().message + "): MSAA finds no objects";
    return "AT-SPI on the session bus " + *bus;
}

}
