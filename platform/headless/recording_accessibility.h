// SPDX-License-Identifier: GPL-3.0-or-later
// RecordingAccessibility: a desktop's accessible objects and events, described in a text file.
#pragma once

#include "base/result.h"
#include "platform/accessibility.h"
#include "platform/accessible_event_queue.h"

#include <string_view>
#include <vector>

namespace platform {

// One described object: where it is found (at a point, or as the object of
// an event) and what it reads as. A gone object can no longer be read, as
// one whose window closed after its event.
struct DescribedObject {
    bool at_point = false;
    AccessibleEvent event = AccessibleEvent::focus;
    bool gone = false;
    AccessibleObject object;
};

// The objects of a description, one per line ('#' starts a comment):
//   WHERE | LEFT TOP WIDTH HEIGHT | ROLE CODE | ROLE TEXT | NAME | STATES | VALUE
// WHERE is "point" (found by object_at inside its area; a later line lies
// above an earlier one) or the event that brings it: "focus", "window",
// "state", "value". STATES are words among "checked", "unavailable" and
// "gone", or "-". Texts are UTF-8. An error names the line that is wrong.
base::Result<std::vector<DescribedObject>> parse_accessible_objects(std::string_view text);

// The events are queued when watching starts, in the order of the lines,
// through the same 100-entry queue as the desktop's events.
class RecordingAccessibility final : public Accessibility {
public:
    explicit RecordingAccessibility(std::vector<DescribedObject> objects = {})
        : m_objects(std::move(objects))
    {
    }
    void start_events() override;
    void stop_events() override { m_watching = false; }
    std::optional<AccessibleObject> next_event_object(AccessibleEvent& event) override;
    std::optional<AccessibleObject> object_at(int x, int y) override;

private:
    struct Entry {
        AccessibleEvent event = AccessibleEvent::focus;
        const DescribedObject* object = nullptr;
    };
    std::vector<DescribedObject> m_objects;
    AccessibleEventQueue<Entry> m_queue;
    bool m_watching = false;
};

}
