// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's backends opened on first use: once, only when needed, and as no desktop when they cannot be.
#include "app/lazy_desktop.h"

#include "platform/headless/memory_clipboard.h"
#include "platform/headless/recording_desktop.h"

#include <gtest/gtest.h>

namespace {

class FixedDesktop final : public platform::Desktop {
public:
    explicit FixedDesktop(std::optional<uint64_t> console_window)
        : m_console_window(console_window)
    {
    }
    std::optional<uint64_t> console_window() override { return m_console_window; }
    std::optional<uint64_t> foreground_window() override { return 77; }
    std::string foreground_title() override { return "Calculadora"; }

private:
    std::optional<uint64_t> m_console_window;
};

TEST(LazyDesktop, OpensOnceOnTheFirstQuestionAboutTheDesktop)
{
    int opened = 0;
    std::optional<uint64_t> asked_for;
    app::LazyDesktop desktop(
        [&](std::optional<uint64_t> console_window) {
            ++opened;
            asked_for = console_window;
            return std::make_unique<FixedDesktop>(console_window);
        },
        42);
    EXPECT_EQ(desktop.console_window(), 42u);
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(desktop.foreground_window(), 77u);
    EXPECT_EQ(desktop.foreground_title(), "Calculadora");
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(asked_for, 42u);
}

TEST(LazyDesktop, WithoutADesktopKnowsOnlyTheConsoleWindow)
{
    int opened = 0;
    app::LazyDesktop desktop(
        [&](std::optional<uint64_t>) {
            ++opened;
            return std::unique_ptr<platform::Desktop>();
        },
        9);
    EXPECT_EQ(desktop.foreground_window(), std::nullopt);
    EXPECT_EQ(desktop.foreground_title(), "");
    EXPECT_EQ(desktop.console_window(), 9u);
    EXPECT_EQ(opened, 1);
}

TEST(LazyDesktopInput, OpensOnceAndPassesEveryCallOn)
{
    int opened = 0;
    platform::RecordingDesktop* recording = nullptr;
    app::LazyDesktopInput input([&] {
        ++opened;
        auto made = std::make_unique<platform::RecordingDesktop>();
        recording = made.get();
        return made;
    });
    // Nothing was typed yet: there is nothing to put back, and no reason to open.
    input.end_typing();
    EXPECT_EQ(opened, 0);
    input.send_key(0x41, true);
    ASSERT_NE(recording, nullptr);
    recording->front_title = "Bloco de notas";
    input.send_key(0x41, false);
    input.move_pointer(10, 20);
    input.end_typing();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(recording->actions, (std::vector<std::string> { "down 65", "up 65", "move 10,20", "end" }));
    EXPECT_EQ(input.name(), "headless");
    EXPECT_EQ(input.foreground_title(), "Bloco de notas");
    EXPECT_EQ(opened, 1);
}

TEST(LazyDesktopInput, WithoutADesktopIsNoDesktop)
{
    app::LazyDesktopInput input([] { return std::unique_ptr<platform::DesktopInput>(); });
    EXPECT_EQ(input.name(), "none");
    EXPECT_EQ(input.key_code_word('a'), std::nullopt);
    EXPECT_TRUE(input.windows().empty());
    EXPECT_EQ(input.foreground_area(), std::nullopt);
}

TEST(LazyClipboard, OpensOnFirstUseAndFallsBackWhenItCannot)
{
    int opened = 0;
    platform::MemoryClipboard* desktop_side = nullptr;
    platform::MemoryClipboard fallback;
    app::LazyClipboard clipboard(
        [&] {
            ++opened;
            auto made = std::make_unique<platform::MemoryClipboard>();
            desktop_side = made.get();
            return made;
        },
        fallback);
    EXPECT_EQ(opened, 0);
    clipboard.set_text("olá");
    EXPECT_EQ(opened, 1);
    ASSERT_NE(desktop_side, nullptr);
    EXPECT_EQ(desktop_side->text(), "olá");
    EXPECT_EQ(fallback.text(), std::nullopt);
    EXPECT_EQ(clipboard.text(), "olá");
    EXPECT_EQ(opened, 1);

    int tried = 0;
    app::LazyClipboard missing(
        [&] {
            ++tried;
            return std::unique_ptr<platform::Clipboard>();
        },
        fallback);
    missing.set_text("texto");
    EXPECT_EQ(missing.text(), "texto");
    EXPECT_EQ(fallback.text(), "texto");
    EXPECT_EQ(tried, 1);
}

}
