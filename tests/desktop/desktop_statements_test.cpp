// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/desktop_state.h"
#include "desktop/desktop_statements.h"
#include "platform/headless/memory_clipboard.h"
#include "platform/headless/recording_desktop.h"
#include "tests/support/test_runtime.h"

#include <deque>
#include <gtest/gtest.h>

namespace {

using Actions = std::vector<std::string>;

class FakeAccessibility final : public platform::Accessibility {
public:
    void start_events() override { watching = true; }
    void stop_events() override { watching = false; }
    std::optional<platform::AccessibleObject> next_event_object(platform::AccessibleEvent& event) override
    {
        if (events.empty())
            return std::nullopt;
        auto object = events.front();
        events.pop_front();
        event = platform::AccessibleEvent::focus;
        return object;
    }
    std::optional<platform::AccessibleObject> object_at(int x, int y) override
    {
        asked_points.emplace_back(x, y);
        return point_object;
    }

    bool watching = false;
    std::deque<platform::AccessibleObject> events;
    std::optional<platform::AccessibleObject> point_object;
    std::vector<std::pair<int, int>> asked_points;
};

void bind_with_desktop(interpreter::CommandTable& table)
{
    test_support::bind_core_statements(table);
    desktop::bind_desktop_statements(table);
}

struct DesktopFixture {
    DesktopFixture()
        : state(desktop, clipboard, accessibility)
        , test(bind_with_desktop)
    {
        test.runtime.subsystems.desktop = &state;
    }
    bool run(std::string_view line) { return test.execute(line); }

    platform::RecordingDesktop desktop;
    platform::MemoryClipboard clipboard;
    FakeAccessibility accessibility;
    desktop::DesktopState state;
    test_support::TestRuntime test;
};

TEST(DesktopStatements, TypesTextThenEnterUnlessItEndsWithAnAmpersand)
{
    DesktopFixture fixture;
    fixture.test.ports.paused_ms = 0;
    ASSERT_TRUE(fixture.run("digita \"ab\""));
    Actions expected = { "down 65", "up 65", "down 66", "up 66", "down 13", "up 13", "end" };
    EXPECT_EQ(fixture.desktop.actions, expected);
    EXPECT_EQ(fixture.test.ports.paused_ms, 300);

    fixture.desktop.actions.clear();
    ASSERT_TRUE(fixture.run("digita \"a\" &"));
    EXPECT_EQ(fixture.desktop.actions, (Actions { "down 65", "up 65", "end" }));
    EXPECT_FALSE(fixture.run("digita \"a\" x"));
}

TEST(DesktopStatements, PressesKeyDescriptionsInTheirOrderOnly)
{
    DesktopFixture fixture;
    ASSERT_TRUE(fixture.run("aciona \"ctrl+shift+tab\""));
    Actions expected = { "down 16", "down 17", "down 9", "up 9", "up 16", "up 17" };
    EXPECT_EQ(fixture.desktop.actions, expected);
    fixture.desktop.actions.clear();
    EXPECT_FALSE(fixture.run("aciona \"shift+ctrl+tab\""));
    EXPECT_FALSE(fixture.run("aciona \"\""));
    EXPECT_TRUE(fixture.desktop.actions.empty());
    ASSERT_TRUE(fixture.run("aciona \"#144\""));
    EXPECT_EQ(fixture.desktop.actions, Actions { "numlock" });
}

TEST(DesktopStatements, ClicksOnTheScreenOrInsideTheWindowInFront)
{
    DesktopFixture fixture;
    fixture.desktop.front_area = platform::ScreenArea { 100, 50, 300, 200 };
    fixture.desktop.frame = 4;
    ASSERT_TRUE(fixture.run("clica tela 10, 20"));
    ASSERT_TRUE(fixture.run("clica duplo 5 5"));
    ASSERT_TRUE(fixture.run("clica nulo tela 7,8"));
    Actions expected = { "move 10,20", "button down", "button up", "move 109,59", "button down", "button up",
        "button down", "button up", "move 7,8" };
    EXPECT_EQ(fixture.desktop.actions, expected);

    // The mouse has moved when the text after y is found.
    fixture.desktop.actions.clear();
    EXPECT_FALSE(fixture.run("clica nulo tela 1, 2 3"));
    EXPECT_EQ(fixture.desktop.actions, Actions { "move 1,2" });
    EXPECT_FALSE(fixture.run("clica tela x"));
    EXPECT_FALSE(fixture.run("clica 1.5, 2"));
}

TEST(DesktopStatements, ActsOnTheFirstMatchingWindowAndTellsWhenNoneMatched)
{
    DesktopFixture fixture;
    fixture.desktop.window_list = { { 7, "Bloco de notas", true, true, false }, { 8, "Notas", true, true, false } };
    ASSERT_TRUE(fixture.run("janela fecha \"notas*\""));
    EXPECT_EQ(fixture.test.runtime.io_status, 0);
    ASSERT_TRUE(fixture.run("janela MAXIMIZA \"*notas\""));
    ASSERT_TRUE(fixture.run("janela minimiza \"bloco*\""));
    EXPECT_EQ(fixture.test.runtime.io_status, 1);
    EXPECT_EQ(fixture.desktop.actions, (Actions { "close 7", "maximise 8" }));
    EXPECT_FALSE(fixture.run("janela some \"notas\""));
    EXPECT_FALSE(fixture.run("janela"));
}

TEST(DesktopStatements, MovesTextThroughTheClipboardInBothDirections)
{
    DesktopFixture fixture;
    fixture.test.set_variable("$t", "a\xE7\xE3o");
    ASSERT_TRUE(fixture.run("transfere de $t"));
    EXPECT_EQ(fixture.clipboard.text(), "a\xC3\xA7\xC3\xA3o");
    fixture.clipboard.set_text("\xE2\x82\xAC 5");
    ASSERT_TRUE(fixture.run("transfere PARA $r"));
    EXPECT_EQ(fixture.test.variable("$r"), "\x80 5");
    EXPECT_FALSE(fixture.run("transfere $r"));
    EXPECT_FALSE(fixture.run("transfere para $r x"));
}

TEST(DesktopStatements, KeepsTheClipboardWithinItsBuffer)
{
    DesktopFixture fixture;
    fixture.test.set_variable("$t", std::string(2000, 'x'));
    ASSERT_TRUE(fixture.run("transfere de $t"));
    EXPECT_EQ(fixture.clipboard.text()->size(), 1024u);
    ASSERT_TRUE(fixture.run("transfere para $r"));
    EXPECT_EQ(fixture.test.variable("$r").size(), 1023u);
    fixture.clipboard = platform::MemoryClipboard();
    ASSERT_TRUE(fixture.run("transfere para $r"));
    EXPECT_EQ(fixture.test.variable("$r"), "");
}

TEST(DesktopStatements, CapturesTitleFocusAndField)
{
    DesktopFixture fixture;
    fixture.desktop.front_title = "T\xC3\xADtulo " + std::string(300, 'x');
    fixture.desktop.focused_text = "campo";
    ASSERT_TRUE(fixture.run("captura t\xCDtulo $a"));
    EXPECT_EQ(fixture.test.variable("$a").size(), 254u);
    EXPECT_EQ(fixture.test.variable("$a").substr(0, 7), "T\xEDtulo ");
    ASSERT_TRUE(fixture.run("captura foco $f"));
    EXPECT_EQ(fixture.test.variable("$f"), "campo");
    ASSERT_TRUE(fixture.run("captura outra $o"));
    EXPECT_EQ(fixture.test.variable("$o"), "");

    fixture.clipboard.set_text("linha");
    ASSERT_TRUE(fixture.run("captura campo $c"));
    EXPECT_EQ(fixture.test.variable("$c"), "linha");
    Actions expected = { "down 36", "up 36", "down 16", "down 35", "up 35", "up 16", "down 17", "down 45", "up 45",
        "up 17" };
    EXPECT_EQ(fixture.desktop.actions, expected);
    EXPECT_FALSE(fixture.run("captura"));
}

TEST(DesktopStatements, ReadsAccessibleObjectsFromEventsAndPoints)
{
    DesktopFixture fixture;
    ASSERT_TRUE(fixture.run("msaa checa $c"));
    EXPECT_EQ(fixture.test.variable("$c"), "0");

    platform::AccessibleObject box;
    box.role_code = 44;
    box.role_text = "caixa de sele\xC3\xA7\xC3\xA3o";
    box.area = { 10, 20, 30, 40 };
    box.name = "Ativo";
    box.checked = true;
    fixture.accessibility.events.push_back(box);
    ASSERT_TRUE(fixture.run("msaa monitora"));
    EXPECT_TRUE(fixture.accessibility.watching);
    ASSERT_TRUE(fixture.run("msaa checa $c"));
    EXPECT_EQ(fixture.test.variable("$c"), "1");
    ASSERT_TRUE(fixture.run("msaa nome $n"));
    ASSERT_TRUE(fixture.run("msaa c\xD3" "digo $k"));
    ASSERT_TRUE(fixture.run("msaa tipo $t"));
    ASSERT_TRUE(fixture.run("msaa estado $e"));
    ASSERT_TRUE(fixture.run("msaa area $x $y $w $h"));
    EXPECT_EQ(fixture.test.variable("$n"), "Ativo");
    EXPECT_EQ(fixture.test.variable("$k"), "44");
    EXPECT_EQ(fixture.test.variable("$t"), "caixa de sele\xE7\xE3o");
    EXPECT_EQ(fixture.test.variable("$e"), "marcado");
    EXPECT_EQ(fixture.test.variable("$x") + "," + fixture.test.variable("$y") + "," + fixture.test.variable("$w") + ","
            + fixture.test.variable("$h"),
        "10,20,30,40");

    platform::AccessibleObject button;
    button.role_code = 43;
    button.name = "OK";
    button.checked = true;
    button.unavailable = true;
    button.value = "v";
    fixture.accessibility.point_object = button;
    ASSERT_TRUE(fixture.run("msaa captura 5 6"));
    EXPECT_EQ(fixture.accessibility.asked_points, (std::vector<std::pair<int, int>> { { 5, 6 } }));
    ASSERT_TRUE(fixture.run("msaa estado $e"));
    ASSERT_TRUE(fixture.run("msaa valor $v"));
    EXPECT_EQ(fixture.test.variable("$e"), "indispon\xEDvel");
    EXPECT_EQ(fixture.test.variable("$v"), "v");

    // An object without a role clears the texts and tells nothing more.
    fixture.accessibility.point_object = platform::AccessibleObject {};
    ASSERT_TRUE(fixture.run("msaa captura 1, 1"));
    ASSERT_TRUE(fixture.run("msaa nome $n"));
    EXPECT_EQ(fixture.test.variable("$n"), "");

    ASSERT_TRUE(fixture.run("msaa fim"));
    EXPECT_FALSE(fixture.accessibility.watching);
    fixture.accessibility.events.push_back(box);
    ASSERT_TRUE(fixture.run("msaa checa $c"));
    EXPECT_EQ(fixture.test.variable("$c"), "0");
    EXPECT_FALSE(fixture.run("msaa outra"));
    EXPECT_FALSE(fixture.run("msaa captura x 1"));
}

}
