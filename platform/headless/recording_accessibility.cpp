// SPDX-License-Identifier: GPL-3.0-or-later
// RecordingAccessibility: a desktop's accessible objects and events, described in a text file.
#include "platform/headless/recording_accessibility.h"

#include <charconv>
#include <string>

namespace platform {

namespace {

std::string_view trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    while (true) {
        auto at = text.find(separator);
        parts.push_back(trim(text.substr(0, at)));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

template<typename T>
bool parse_number(std::string_view text, T& number)
{
    auto result = std::from_chars(text.data(), text.data() + text.size(), number);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool parse_where(std::string_view word, DescribedObject& described)
{
    constexpr std::pair<std::string_view, AccessibleEvent> events[] = {
        { "focus", AccessibleEvent::focus },
        { "window", AccessibleEvent::foreground },
        { "state", AccessibleEvent::state_change },
        { "value", AccessibleEvent::value_change },
    };
    if (word == "point") {
        described.at_point = true;
        return true;
    }
    for (const auto& [name, event] : events) {
        if (word == name) {
            described.event = event;
            return true;
        }
    }
    return false;
}

bool parse_area(std::string_view text, ScreenArea& area)
{
    std::vector<int> numbers;
    for (auto word : split(text, ' ')) {
        if (word.empty())
            continue;
        int number = 0;
        if (!parse_number(word, number))
            return false;
        numbers.push_back(number);
    }
    if (numbers.size() != 4 || numbers[2] < 0 || numbers[3] < 0)
        return false;
    area = { numbers[0], numbers[1], numbers[2], numbers[3] };
    return true;
}

bool parse_states(std::string_view text, DescribedObject& described)
{
    if (text == "-")
        return true;
    for (auto word : split(text, ' ')) {
        if (word == "checked")
            described.object.checked = true;
        else if (word == "unavailable")
            described.object.unavailable = true;
        else if (word == "gone")
            described.gone = true;
        else if (!word.empty())
            return false;
    }
    return true;
}

bool contains(const ScreenArea& area, int x, int y)
{
    return x >= area.left && y >= area.top && int64_t(x) < int64_t(area.left) + area.width
        && int64_t(y) < int64_t(area.top) + area.height;
}

}

base::Result<std::vector<DescribedObject>> parse_accessible_objects(std::string_view text)
{
    std::vector<DescribedObject> objects;
    int line_number = 0;
    for (auto line : split(text, '\n')) {
        ++line_number;
        if (line.empty() || line.front() == '#')
            continue;
        auto fields = split(line, '|');
        DescribedObject described;
        if (fields.size() != 7 || !parse_where(fields[0], described) || !parse_area(fields[1], described.object.area)
            || !parse_number(fields[2], described.object.role_code) || !parse_states(fields[5], described))
            return base::Error { "accessible objects: line " + std::to_string(line_number) + " is not valid" };
        described.object.role_text = std::string(fields[3]);
        described.object.name = std::string(fields[4]);
        described.object.value = std::string(fields[6]);
        objects.push_back(std::move(described));
    }
    return objects;
}

void RecordingAccessibility::start_events()
{
    if (m_watching)
        return;
    m_watching = true;
    for (const auto& described : m_objects) {
        if (!described.at_point)
            m_queue.push(Entry { described.event, &described });
    }
}

std::optional<AccessibleObject> RecordingAccessibility::next_event_object(AccessibleEvent& event)
{
    auto entry = m_queue.take();
    if (!entry || entry->object->gone)
        return std::nullopt;
    event = entry->event;
    return entry->object->object;
}

std::optional<AccessibleObject> RecordingAccessibility::object_at(int x, int y)
{
    for (auto described = m_objects.rbegin(); described != m_objects.rend(); ++described) {
        if (described->at_point && contains(described->object.area, x, y))
            return described->gone ? std::nullopt : std::optional(described->object);
    }
    return std::nullopt;
}

}
